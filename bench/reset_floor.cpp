// The floor of the reset benchmark: the least a program does for the test
// product's chain of resets. It starts the product in a window, and for each
// reset the product asks for: the product's qmStop, its library released,
// the preload table and the product library loaded again the way the host
// loads them (as many times as the host does for one start, no please-wait
// dialog), qmInit with the new scene and qmStart. Its delegate only takes the
// product's requests; nothing runs on another thread.
//
//   reset_floor.exe [--loads N]
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "floor_program.h"
#include "qm/loop_delegate.h"
#include "qm/product_library.h"

namespace {

constexpr char kWindowClass[] = "qm.ResetFloor";
constexpr char kSceneKey[] = "-scene ";
constexpr int kFirstScene = 0;

// Takes the product's requests, to be carried out once qmStart has returned.
class FloorDelegate : public qm::QMLoopDelegate {
public:
    void reset(const char* parameters) override {
        resetAsked = true;
        requested = parameters ? parameters : "";
    }
    void setFullScreen(bool) override {}

    bool resetAsked = false;
    std::string requested;
};

// The scene of a "-scene N" request, the only parameter the chain sends.
int sceneOf(const std::string& request) {
    const size_t at = request.find(kSceneKey);
    return at == std::string::npos ? kFirstScene : std::atoi(request.c_str() + at + std::strlen(kSceneKey));
}

struct Product {
    UniqueModule library;
    qmInitFn init = nullptr;
    qmStartFn start = nullptr;
    qmStopFn stop = nullptr;

    bool bind() {
        init = entryPoint<qmInitFn>("qmInit");
        start = entryPoint<qmStartFn>("qmStart");
        stop = entryPoint<qmStopFn>("qmStop");
        return init && start && stop;
    }

    template <typename Function>
    Function entryPoint(const char* name) const {
        // Through a plain function type: the export's own type is not FARPROC's.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library.get(), name)));
    }
};

// Loads and starts the product with `scene`; false when it cannot.
bool startProduct(Product& product, const std::string& directory, int loads, int scene, HWND window,
                  qm::LaunchParameters& parameters, FloorDelegate& delegate) {
    product.library = loadTestProductTimes(directory, loads);
    if (!product.library || !product.bind())
        return false;
    parameters.scene = scene;
    const qm::HostVersion version;
    product.init(&parameters, &version);
    RECT client = {};
    GetClientRect(window, &client);
    delegate.resetAsked = false;
    product.start(&delegate, client.right, client.bottom, window, window, 0);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const int loads = loadsInCommandLine(commandLine);
    UniqueWindow window = createFloorWindow(instance, kWindowClass);
    if (!window)
        return 1;
    ShowWindow(window.get(), SW_SHOW);
    const std::string directory = programDirectory();
    qm::LaunchParameters parameters("resetfloor", "production", "testproduct");
    FloorDelegate delegate;
    Product product;
    if (!startProduct(product, directory, loads, kFirstScene, window.get(), parameters, delegate))
        return 2;
    while (delegate.resetAsked) {
        product.stop();
        product = Product();
        if (!startProduct(product, directory, loads, sceneOf(delegate.requested), window.get(), parameters, delegate))
            return 2;
    }
    product.stop();
    return 0;
}
