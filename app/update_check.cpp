#include "update_check.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <utility>

#include "debug_log.h"
#include "host_state.h"
#include "private_messages.h"

namespace {

// Each update check gets a completion function of its own, which posts the
// number of that check: a product only gets a function, so this is what
// ties a late completion of an earlier run's check (resets in a row with
// checks that finish on a thread) to its run. The functions are reused in
// turn, so a completion is told apart from those of the next
// kCompletionSlots - 1 checks.
constexpr unsigned kCompletionSlots = 16;
std::atomic<unsigned> checkOfSlot[kCompletionSlots];
std::atomic<unsigned> lastCheck{0};
std::atomic<unsigned> awaitedCheck{0};  // 0: no check pending

bool postCheckDone(unsigned check) {
    return PostMessageA(mainWindow.load(), kPrivateMessage, kUpdateCheckDone, static_cast<LPARAM>(check)) != FALSE;
}

template <unsigned Slot>
bool __cdecl completeCheckOfSlot() {
    return postCheckDone(checkOfSlot[Slot].load());
}

template <unsigned... Slots>
constexpr std::array<QMUpdateCheckDoneFn, sizeof...(Slots)> completionFunctions(
    std::integer_sequence<unsigned, Slots...>) {
    return {&completeCheckOfSlot<Slots>...};
}

constexpr std::array<QMUpdateCheckDoneFn, kCompletionSlots> kCompletions =
    completionFunctions(std::make_integer_sequence<unsigned, kCompletionSlots>{});

}  // namespace

QMUpdateCheckDoneFn expectUpdateCheckDone() {
    unsigned check = ++lastCheck;
    if (check == 0)  // 0 means none
        check = ++lastCheck;
    const unsigned slot = check % kCompletionSlots;
    checkOfSlot[slot].store(check);
    awaitedCheck.store(check);
    return kCompletions[slot];
}

bool takeUpdateCheckDone(unsigned check) {
    const unsigned awaited = awaitedCheck.load();
    if (awaited == 0) {
        debugLog(kLogWarning, "Ignored an update-check message with no check pending");
        return false;
    }
    if (check != awaited) {
        debugLog(kLogWarning, "Ignored an update-check message of another check (%u, awaiting %u)", check, awaited);
        return false;
    }
    awaitedCheck.store(0);
    return true;
}
