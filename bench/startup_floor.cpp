// The floor of the start-up benchmark: the least a program does to get as far
// as the host's product start. It creates a window, loads the preload table
// and the product library from its own folder the way the host does (as many
// times as the host does for one start, the product library released in
// between), shows the window and writes the started line.
//
//   startup_floor.exe [--loads N] [--please-wait]
//
// --please-wait puts the host's please-wait dialog around each load, and the
// started line then tells the seconds the loads spent waiting on the
// dialog's hand-shake: "T|qmStart floor waits=0.2345".
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "library_path.h"
#include "library_preload.h"
#include "preload_table.h"
#include "please_wait_session.h"
#include "startup_signal.h"
#include "unique_handle.h"

namespace {

constexpr char kWindowClass[] = "qm.StartupFloor";
constexpr char kLoadsOption[] = "--loads ";
constexpr char kPleaseWaitOption[] = "--please-wait";
constexpr int kMaxLoads = 10;

struct FloorOptions {
    int loads = 1;
    bool pleaseWait = false;
};

FloorOptions readOptions(const char* commandLine) {
    FloorOptions options;
    if (const char* loads = std::strstr(commandLine, kLoadsOption)) {
        const long count = std::strtol(loads + sizeof kLoadsOption - 1, nullptr, 10);
        options.loads = count < 1 ? 1 : count > kMaxLoads ? kMaxLoads : static_cast<int>(count);
    }
    options.pleaseWait = std::strstr(commandLine, kPleaseWaitOption) != nullptr;
    return options;
}

// The libraries lie next to the program, as the host's lie in its
// installation's library folder.
std::string programDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string name(path, length < MAX_PATH ? length : 0);
    const size_t cut = name.find_last_of('\\');
    return cut == std::string::npos ? std::string() : name.substr(0, cut);
}

UniqueWindow createFloorWindow(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&windowClass))
        return {};
    return UniqueWindow(CreateWindowExA(0, kWindowClass, "floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        1280, 720, nullptr, nullptr, instance, nullptr));
}

UniqueModule loadWithoutDialog(const std::string& directory) {
    preloadLibraries(directory);
    UniqueModule product = loadLibraryFile(joinLibraryPath(directory, std::string(kTestProductClient) + ".dll"));
    releasePreloadedLibraries();
    return product;
}

using Clock = std::chrono::steady_clock;

// The host's load behind its dialog; `waits` gains the time the loader spent
// waiting for the dialog's start and for its thread's end.
UniqueModule loadBehindDialog(const std::string& directory, Clock::duration& waits) {
    const Clock::time_point starting = Clock::now();
    PleaseWaitSession pleaseWait;
    waits += Clock::now() - starting;
    UniqueModule product = loadWithoutDialog(directory);
    const Clock::time_point stopping = Clock::now();
    pleaseWait.end();
    waits += Clock::now() - stopping;
    return product;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const FloorOptions options = readOptions(commandLine);
    UniqueWindow window = createFloorWindow(instance);
    if (!window)
        return 1;
    const std::string directory = programDirectory();
    UniqueModule product;
    Clock::duration waits{};
    for (int load = 0; load < options.loads; ++load) {
        product.reset();
        product = options.pleaseWait ? loadBehindDialog(directory, waits) : loadWithoutDialog(directory);
        if (!product)
            return 2;
    }
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    char line[64];
    std::snprintf(line, sizeof line, "%s floor %s%.4f\n", kProductStartedLine, kFloorWaitsField,
                  std::chrono::duration<double>(waits).count());
    OutputDebugStringA(line);
    return 0;
}
