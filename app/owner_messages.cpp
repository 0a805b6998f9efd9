#include "owner_messages.h"

#include <string>

#include "debug_log.h"
#include "host_state.h"

namespace {

void sendToOwner(InterProcessCommand command, const void* payload, DWORD size) {
    const HWND owner = ownerWindow.load();
    const HWND main = mainWindow.load();
    if (!owner || !main)
        return;
    COPYDATASTRUCT envelope = {};
    envelope.dwData = command;
    envelope.cbData = size;
    envelope.lpData = const_cast<void*>(payload);
    debugLog(kLogDebug, "QMStandAlone:WM_COPYDATA SEND(%d,%d bytes)", static_cast<int>(command),
             static_cast<int>(size));
    SendMessageTimeoutA(owner, WM_COPYDATA, reinterpret_cast<WPARAM>(main),
                        reinterpret_cast<LPARAM>(&envelope), SMTO_NORMAL, kOwnerSendTimeoutMs, nullptr);
}

// The payload up to its first NUL, never reading past cbData: any process
// may send us any envelope.
std::string payloadText(const COPYDATASTRUCT* envelope) {
    if (!envelope->lpData || envelope->cbData == 0)
        return {};
    const char* data = static_cast<const char*>(envelope->lpData);
    size_t length = 0;
    while (length < envelope->cbData && data[length] != '\0')
        ++length;
    return std::string(data, length);
}

}  // namespace

void reportState(int32_t code) {
    sendToOwner(kCommandStateReport, &code, sizeof code);
}

void sendOwnerRecord(const void* block) {
    if (block)
        sendToOwner(kCommandProductRecord, block, kProductRecordSize);
}

LRESULT onCopyData(HWND window, HWND sender, const COPYDATASTRUCT* envelope,
                   void (*reset)(HWND window, const char* text)) {
    if (!envelope)
        return 0;
    debugLog(kLogDebug, "QMStandAlone:WM_COPYDATA RECEIVED(%d,%d bytes)",
             static_cast<int>(envelope->dwData), static_cast<int>(envelope->cbData));
    switch (envelope->dwData) {
    case kCommandSetOwner:
        debugLog(kLogDebug, "QMStandAlone:WM_COPYDATA setOwner: %x",
                 static_cast<unsigned>(reinterpret_cast<UINT_PTR>(sender)));
        ownerWindow.store(sender);
        return 1;
    case kCommandDoReset: {
        const std::string text = payloadText(envelope);
        debugLog(kLogDebug, "QMStandAlone:doReset: %s", text.c_str());
        reset(window, text.c_str());
        return 1;
    }
    case kCommandNone:
        return 1;
    default:
        debugLog(kLogWarning, "Unsupported InterProcessCommand: %d", static_cast<int>(envelope->dwData));
        return 0;
    }
}
