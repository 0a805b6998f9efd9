// Asks a running host to close, as its window's close box would: posts
// WM_CLOSE to the main window of the product named on the command line
// (default quorvelmeet). Exit code 0 when such a window was found.
#include <windows.h>

#include <cctype>
#include <string>

#include "qm/owner_protocol.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::string product = commandLine && *commandLine ? commandLine : "quorvelmeet";
    while (!product.empty() && std::isspace(static_cast<unsigned char>(product.back())))
        product.pop_back();
    const std::wstring windowClass = qm::windowClassNameFor(product);
    const HWND window = windowClass.empty() ? nullptr : FindWindowW(windowClass.c_str(), nullptr);
    if (!window)
        return 1;
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
