#pragma once
// How an owner program and the Quorvel Meet host talk: WM_COPYDATA messages
// between the owner's window and the host's main window.
//
// The host's main window has the class windowClassNameFor(product) (find it
// with FindWindowW). The owner's window receives the host's state reports and
// the product's records; it sends the host kCommandSetOwner, kCommandDoReset
// or kCommandNone, with its own window handle as WPARAM. The host answers a
// command it accepts with 1.
#include <windows.h>

#include <cstdint>
#include <string>

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

namespace qm {

// The longest class name a window class can have, in UTF-16 units.
constexpr size_t kMaxWindowClassNameUnits = 255;

// The class name of the host's main window for `product`: "STAGEENGINE."
// followed by the product with its ASCII letters upper-cased (other bytes as
// they are), converted from UTF-8 to UTF-16. Empty when the name would be
// longer than a window class allows.
inline std::wstring windowClassNameFor(const std::string& product) {
    std::string name = "STAGEENGINE.";
    for (char c : product)
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    wchar_t converted[kMaxWindowClassNameUnits + 1];
    const int units = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), converted,
                                          static_cast<int>(kMaxWindowClassNameUnits));
    return std::wstring(converted, units > 0 ? units : 0);
}

}  // namespace qm
