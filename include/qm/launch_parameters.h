#pragma once
// The launch parameters of one run, as the host hands them to qmInit and
// qmUpdateSystem. The product library reads the record in place by address,
// so the order and the types of the fields are part of the interface; build
// the library with the same compiler and C++ run-time as the host.
#include <string>
#include <utility>
#include <vector>

struct HWND__;

namespace qm {

// Sends a 36-byte record of the product to the owner program's window.
// Callable from any thread of the product.
typedef void (*OwnerNotifyFn)(const void* record36);

// Where and how the visitor is first placed.
struct PositionTool {
    int type = 0;         // 1 when given as a point of interest ("poi"), else 0
    int id = 0;           // the point of interest's number
    bool present = false; // a "positionTool" parameter was given
    std::string path;     // the tool given by path (not "poi")
    float position[3] = {0.0f, 0.0f, 0.0f};
    float rotation[3] = {0.0f, 0.0f, 0.0f};
    float scale[3] = {1.0f, 1.0f, 1.0f};
    OwnerNotifyFn ownerNotify = nullptr;  // set by the host
};

struct LaunchParameters {
    LaunchParameters(const std::string& product_, const std::string& state_, const std::string& client_)
        : product(product_), state(state_), defaultClient(client_), client(client_) {}

    std::string product;        // names the registry key and the window class
    std::string state;          // last part of the registry key ("production")
    std::string language;       // two-letter code of the user's language
    std::string defaultClient;  // the client the record was created with
    std::string client;         // the product library is <client>.dll when it exists
    std::string title;          // main window text when not empty
    std::string token;
    int scene = -1;             // -1: none given
    int visitMode = 1;
    PositionTool positionTool;
    HWND__* owner = nullptr;    // the owner program's window, or null
    // Every parameter as given, known or not, in first-given order, one
    // element per distinct key (case matters).
    std::vector<std::pair<std::string, std::string>> extras;
};

}  // namespace qm
