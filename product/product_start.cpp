#include "product_start.h"

#include <shellapi.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

#include "debug_log.h"
#include "entry_points.h"
#include "full_screen.h"
#include "host_state.h"
#include "loop_delegate_win32.h"
#include "message_catalogue.h"
#include "owner_messages.h"
#include "private_messages.h"
#include "product_library_loader.h"
#include "qm_standalone.h"
#include "spawn_updater.h"

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

constexpr UINT kSystemModalError = MB_SYSTEMMODAL | MB_ICONERROR;
constexpr UINT kSystemModalWarning = MB_SYSTEMMODAL | MB_ICONWARNING;
constexpr UINT kSystemModalInformation = MB_SYSTEMMODAL | MB_ICONINFORMATION;
constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;
constexpr int kSignatureSearchWords = 13;

// A fallback for a missing export: throws "<name> not implemented".
template <typename Fn, const char* const* Text>
struct Thrower;
template <typename R, typename... Args, const char* const* Text>
struct Thrower<R (*)(Args...), Text> {
    static R call(Args...) { throw *Text; }
};

const char* const kPreInitMissing = "qmPreInit not implemented";
const char* const kInitMissing = "qmInit not implemented";
const char* const kStartMissing = "qmStart not implemented";
const char* const kStopMissing = "qmStop not implemented";
const char* const kResizeMissing = "qmResize not implemented";
const char* const kIsFullScreenMissing = "qmIsFullScreen not implemented";
const char* const kTextInputMissing = "qmTextInput not implemented";
const char* const kWinEventMissing = "qmWinEvent not implemented";
const char* const kKeyEventMissing = "qmKeyEvent not implemented";
const char* const kResetMissing = "qmReset not implemented: this product cannot be reset";

bool __cdecl updateSystemFallback(qm::LaunchParameters*, HWND, QMUpdateCheckDoneFn, void*) { return false; }
bool __cdecl getDataFallback(qm::UpdateData*) { return false; }
void __cdecl releaseFallback() {}

enum class Missing { BoxAndFailure, FailureOnly, Accepted };

FARPROC lookUp(HMODULE module, const char* name) {
    return GetProcAddress(module, name);
}

// Binds one entry point: the export, or the fallback as `missing` says.
template <typename Fn>
bool bind(HMODULE module, std::atomic<Fn>& binding, const char* name, Fn fallback, Missing missing) {
    // A null fallback leaves a missing entry point unbound.
    if (FARPROC found = lookUp(module, name)) {
        binding.store(reinterpret_cast<Fn>(reinterpret_cast<void*>(found)));
        return true;
    }
    if (missing == Missing::BoxAndFailure)
        showEntryPointMissing(name);
    binding.store(fallback);
    return missing == Missing::Accepted;
}

void showProductBox(const QMStandAlone& application, HWND owner, int text, int caption, UINT style) {
    const char* language = application.params.language.c_str();
    MessageBoxA(owner, localizedText(language, text), localizedText(language, caption), style);
}

// Collects the outcome from the library loaded for the check and unloads it.
qm::UpdateData collectUpdateOutcome(QMStandAlone& application) {
    qm::UpdateData data;
    if (!application.libraryHandle)
        return data;
    HMODULE module = application.libraryHandle;
    if (bind(module, entryPoints.qmUpdateSystemGetData, "qmUpdateSystemGetData", qmUpdateSystemGetDataFn{},
             Missing::BoxAndFailure))
        callEntryPoint(entryPoints.qmUpdateSystemGetData, &data);
    if (bind(module, entryPoints.qmUpdateSystemRelease, "qmUpdateSystemRelease", qmUpdateSystemReleaseFn{},
             Missing::BoxAndFailure))
        callEntryPoint(entryPoints.qmUpdateSystemRelease);
    unloadProductLibrary(module);
    application.libraryHandle = nullptr;
    return data;
}

void startProduct(QMStandAlone& application) {
    const HWND window = mainWindow.load();
    application.libraryHandle =
        loadProductLibrary(application.params.client, application.libraryFileName, application.libraryDirectory);
    const bool quiet = application.params.isCloudInstance();
    if (!application.libraryHandle) {
        if (!quiet)
            showProductBox(application, window, kMsgCannotLoadProduct, kMsgCaptionError, kSystemModalError);
        return;
    }
    // The entry-point lookup boxes show also in quiet mode.
    if (!bindEntryPoints(application.libraryHandle)) {
        if (!quiet)
            showProductBox(application, window, kMsgCannotInitialize, kMsgCaptionError, kSystemModalError);
        return;
    }
    const qm::HostVersion version = readHostVersion();
    callEntryPoint(entryPoints.qmInit, &application.params, &version);
    if (queryEntryPoint(entryPoints.qmIsFullScreen, 0) != 0)
        switchFullScreen(window, true, application.width, application.height);

    ShowWindow(window, application.showCommand);
    UpdateWindow(window);
    BringWindowToTop(window);
    SetFocus(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);

    auto* delegate = QMStandAlone::QMLoopDelegateWin32::create();
    activeDelegate.store(delegate);
    callEntryPoint(entryPoints.qmStart, static_cast<qm::QMLoopDelegate*>(delegate),
                   static_cast<int>(application.width), static_cast<int>(application.height), window, window, 0);
}

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

void showEntryPointMissing(const char* name) {
    char text[256] = {};
    std::snprintf(text, sizeof text, "Application can't be initialized.\n\n(%s entry point not found)", name);
    MessageBoxA(nullptr, text, "ERROR", MB_ICONERROR);
}

bool bindEntryPoints(HMODULE module) {
    bool ok = true;
    ok &= bind(module, entryPoints.qmUpdateSystem, "qmUpdateSystem", &updateSystemFallback, Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmUpdateSystemGetData, "qmUpdateSystemGetData", &getDataFallback,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmUpdateSystemRelease, "qmUpdateSystemRelease", &releaseFallback,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmPreInit, "qmPreInit", &Thrower<qmPreInitFn, &kPreInitMissing>::call,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmInit, "qmInit", &Thrower<qmInitFn, &kInitMissing>::call, Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmStart, "qmStart", &Thrower<qmStartFn, &kStartMissing>::call,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmStop, "qmStop", &Thrower<qmStopFn, &kStopMissing>::call, Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmResize, "qmResize", &Thrower<qmResizeFn, &kResizeMissing>::call,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmIsFullScreen, "qmIsFullScreen",
               &Thrower<qmIsFullScreenFn, &kIsFullScreenMissing>::call, Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmTextInput, "qmTextInput", &Thrower<qmTextInputFn, &kTextInputMissing>::call,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmWinEvent, "qmWinEvent", &Thrower<qmWinEventFn, &kWinEventMissing>::call,
               Missing::BoxAndFailure);
    ok &= bind(module, entryPoints.qmKeyEvent, "qmKeyEvent", &Thrower<qmKeyEventFn, &kKeyEventMissing>::call,
               Missing::Accepted);
    ok &= bind(module, entryPoints.qmReset, "qmReset", &Thrower<qmResetFn, &kResetMissing>::call,
               Missing::FailureOnly);
    return ok;
}

qm::HostVersion readHostVersion() {
    qm::HostVersion version;
    HMODULE module = GetModuleHandleA(nullptr);
    if (!module)
        return version;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const DWORD* words = loaded ? static_cast<const DWORD*>(LockResource(loaded)) : nullptr;
    if (!words)
        return version;
    const DWORD size = SizeofResource(module, resource);
    for (int i = 0; i < kSignatureSearchWords; ++i) {
        if ((i + 1) * sizeof(DWORD) > size)
            break;
        if (words[i] != kFixedFileInfoSignature)
            continue;
        if (i * sizeof(DWORD) + sizeof(VS_FIXEDFILEINFO) <= size) {
            const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(&words[i]);
            version.major = HIWORD(info->dwProductVersionMS);
            version.minor = LOWORD(info->dwProductVersionMS);
            version.build = HIWORD(info->dwProductVersionLS);
            version.revision = LOWORD(info->dwProductVersionLS);
        }
        break;
    }
    FreeResource(loaded);
    return version;
}

void onUpdateCheckDone(QMStandAlone& application, unsigned check) {
    const unsigned awaited = awaitedCheck.load();
    if (awaited == 0) {
        debugLog(kLogWarning, "Ignored an update-check message with no check pending");
        return;
    }
    if (check != awaited) {
        debugLog(kLogWarning, "Ignored an update-check message of another check (%u, awaiting %u)", check, awaited);
        return;
    }
    awaitedCheck.store(0);
    const qm::UpdateData data = collectUpdateOutcome(application);
    const bool quiet = application.params.isCloudInstance();
    const HWND window = mainWindow.load();

    if (data.flags & qm::kUpdateAbort) {
        const bool downloadPage = (data.flags & qm::kUpdateDownloadPage) != 0;
        if (!quiet) {
            if (downloadPage)
                showProductBox(application, window, kMsgNewVersionPage, kMsgCaptionInformation,
                               kSystemModalInformation);
            else
                showProductBox(application, window, kMsgUpdateFailed, kMsgCaptionWarning, kSystemModalError);
        }
        reportState(kStateEnded);
        if (downloadPage && !data.url.empty())
            ShellExecuteA(nullptr, "open", data.url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        PostQuitMessage(-1);
        return;
    }
    if (data.flags & qm::kUpdateRunUpdater) {
        reportState(kStateReady);
        spawnUpdater(application.params.product.c_str(), data.productName.c_str(), data.src.c_str(),
                     application.libraryDirectory.c_str());
        if (!quiet)
            showProductBox(application, window, kMsgUpdateFailed, kMsgCaptionWarning, kSystemModalWarning);
        PostQuitMessage(-1);
        return;
    }
    startProduct(application);
}
