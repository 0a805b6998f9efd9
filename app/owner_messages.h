#pragma once
// WM_COPYDATA between the host's main window and its owner program's window.
#include <windows.h>

#include <cstdint>

// dwData of the WM_COPYDATA envelope.
enum InterProcessCommand : ULONG_PTR {
    kCommandStateReport = 1,   // host -> owner: 4-byte state code
    kCommandProductRecord = 2, // host -> owner: 36 bytes from the product
    kCommandSetOwner = 3,      // owner -> host: the sender becomes the owner
    kCommandDoReset = 4,       // owner -> host: NUL-terminated parameter text
    kCommandNone = 5,          // owner -> host: accepted, nothing done
};

// State codes of the state report.
enum HostState : int32_t {
    kStateEnded = 0,
    kStateReady = 1,
    kStateCheckingUpdates = 6,
    kStateQuitting = 8,
    kStateStopped = 9,
};

constexpr DWORD kProductRecordSize = 36;
constexpr UINT kOwnerSendTimeoutMs = 500;

// Sends a state report to the owner window, if one is known.
void reportState(int32_t code);
// Sends the product's 36-byte record to the owner window; the product
// library calls it (through the launch parameters' ownerNotify).
void sendOwnerRecord(const void* block);

// Handles a WM_COPYDATA that arrived at `window`; returns the answer.
// `reset` passes a doReset text on to the product.
LRESULT onCopyData(HWND window, HWND sender, const COPYDATASTRUCT* envelope,
                   void (*reset)(HWND window, const char* text));
