#include "floor_program.h"

#include <cstdlib>
#include <cstring>

#include "library_path.h"
#include "library_preload.h"
#include "startup_signal.h"

std::string programDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string name(path, length < MAX_PATH ? length : 0);
    const size_t cut = name.find_last_of('\\');
    return cut == std::string::npos ? std::string() : name.substr(0, cut);
}

UniqueWindow createFloorWindow(HINSTANCE instance, const char* className) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass))
        return {};
    return UniqueWindow(CreateWindowExA(0, className, "floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        1280, 720, nullptr, nullptr, instance, nullptr));
}

UniqueModule loadTestProduct(const std::string& directory) {
    preloadLibraries(directory);
    UniqueModule product = loadLibraryFile(joinLibraryPath(directory, std::string(kTestProductClient) + ".dll"));
    releasePreloadedLibraries();
    return product;
}

UniqueModule loadTestProductTimes(const std::string& directory, int loads) {
    UniqueModule product;
    for (int load = 0; load < loads; ++load) {
        product.reset();
        product = loadTestProduct(directory);
        if (!product)
            break;
    }
    return product;
}

int loadsInCommandLine(const char* commandLine) {
    constexpr char kLoadsOption[] = "--loads ";
    constexpr long kMaxLoads = 10;
    const char* at = std::strstr(commandLine, kLoadsOption);
    if (!at)
        return 1;
    const long count = std::strtol(at + sizeof kLoadsOption - 1, nullptr, 10);
    return count < 1 ? 1 : count > kMaxLoads ? static_cast<int>(kMaxLoads) : static_cast<int>(count);
}
