// The floor of the start-up benchmark: the least a program does to get as far
// as the host's product start. It creates a window, loads the preload table
// and the product library from its own folder the way the host does, with no
// please-wait dialog (as many times as the host does for one start, the
// product library released in between), shows the window and writes the
// started line.
//
//   startup_floor.exe [--loads N]
#include <windows.h>

#include <string>

#include "floor_program.h"
#include "startup_signal.h"

namespace {

constexpr char kWindowClass[] = "qm.StartupFloor";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const int loads = loadsInCommandLine(commandLine);
    UniqueWindow window = createFloorWindow(instance, kWindowClass);
    if (!window)
        return 1;
    UniqueModule product = loadTestProductTimes(programDirectory(), loads);
    if (!product)
        return 2;
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    OutputDebugStringA((std::string(kProductStartedLine) + " floor\n").c_str());
    return 0;
}
