#pragma once
// WM_COPYDATA between the host's main window and its owner program's window.
#include <windows.h>

#include <cstdint>

#include "qm/owner_protocol.h"

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
