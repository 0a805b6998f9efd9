#pragma once
// The launch parameters of one run of the product: what the host was asked
// to launch, filled from its command line or universal URL.
//
// The host hands its record to the product library by address (qmUpdateSystem,
// qmInit). The library reads it in place, so the order and the types of the
// fields below are part of the contract: build the library with the same
// compiler and C++ run-time as the host (std::string and std::vector are
// read as that run-time lays them out).
//
// How long the record lives: it is the host's one record, at the same
// address until the process ends. Its contents change only when a reset
// takes new parameters, on the host's reset thread and before it calls
// qmStop, never while qmUpdateSystem, qmInit or qmStart runs. Read it during
// those calls and copy what you keep: a thread of the library that reads it
// later may find it being rewritten.
//
// This header needs neither windows.h nor the host's code: everything a
// library may call here is inline.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The window handle type of windows.h (under its default STRICT setting), so
// that `owner` is an HWND to a library that includes windows.h, before or
// after this header. One pointer wide: 4 bytes in the 32-bit host.
struct HWND__;

namespace qm {

using WindowHandle = ::HWND__*;

// The host's function that sends a 36-byte record to the owner window.
typedef void (*OwnerNotifyFn)(const void* message36);

// Where and how the visitor is placed when the product starts.
struct PositionTool {
    int32_t type = 0;        // 1 when given as a point of interest ("poi,ID,..."), else 0
    int32_t id = 0;          // the point of interest of the "poi" form
    bool present = false;    // a "positionTool" parameter was given
    std::string path;        // the tool given by path (the form that is not "poi")
    float position[3] = {0.0f, 0.0f, 0.0f};  // x, y, z
    float rotation[3] = {0.0f, 0.0f, 0.0f};
    float scale[3] = {1.0f, 1.0f, 1.0f};
    // Set by the host once it has taken the record over: call it, from any
    // thread, to send a 36-byte record to the owner window.
    OwnerNotifyFn ownerNotify = nullptr;
};

struct LaunchParameters {
    using Extra = std::pair<std::string, std::string>;

    LaunchParameters(std::string product_, std::string state_, std::string client_)
        : product(std::move(product_)),
          state(std::move(state_)),
          defaultClient(client_),
          client(std::move(client_)) {}

    std::string product;        // registry key and window class name follow it
    std::string state;          // last part of the registry key, e.g. "production"
    std::string language;       // ISO 639 code of the user's messages, e.g. "en"
    std::string defaultClient;  // the client the record was created with
    std::string client;         // the product library is named after it
    std::string title;          // main window text when not empty
    std::string token;
    int32_t scene = -1;         // -1: none given
    int32_t visitMode = 1;
    PositionTool positionTool;
    WindowHandle owner = nullptr;  // the window that started this run, or null
    // Every parameter as it was given, known or not: one element per distinct
    // key (case matters), in the order the keys first came, last value kept.
    std::vector<Extra> extras;

    // The value given for `key` (exact bytes, case matters), or null.
    const std::string* findExtra(std::string_view key) const {
        for (const Extra& extra : extras) {
            if (extra.first == key)
                return &extra.second;
        }
        return nullptr;
    }

    // A "cloud_instance" parameter was given, with any value: the host then
    // shows no message boxes of its own.
    bool isCloudInstance() const { return findExtra("cloud_instance") != nullptr; }
};

// Records belong to the same product when their product names are the same
// bytes; no other field counts.
inline bool sameProduct(const LaunchParameters& a, const LaunchParameters& b) {
    return a.product == b.product;
}

}  // namespace qm
