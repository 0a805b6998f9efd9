#include <windows.h>

#include <string>

#include "catalogue_box.h"
#include "entry_point_binding.h"
#include "entry_points.h"
#include "host_state.h"
#include "message_catalogue.h"
#include "owner_messages.h"
#include "private_messages.h"
#include "product_library_loader.h"
#include "qm_standalone.h"
#include "registry_config.h"
#include "staged_library.h"
#include "update_check.h"

namespace {

// The executable's directory, or empty when its name cannot be had.
std::string executableDirectory(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(instance, path, MAX_PATH) == 0)
        return {};
    std::string name(path);
    size_t cut = name.find_last_of('\\');
    if (cut == std::string::npos)
        cut = name.find_last_of('/');
    return cut == std::string::npos ? std::string() : name.substr(0, cut);
}

}  // namespace

bool QMStandAlone::initialize() {
    showCommand = SW_SHOW;
    const std::string key = installationKeyPath(params.product, params.state);
    const bool skipUpdates = readSkipUpdates(key);

    if (!readRegistryString(key, "libFilePath", libraryDirectory)) {
        libraryDirectory = executableDirectory(instance);
        if (libraryDirectory.empty())
            MessageBoxA(nullptr, "Can't obtain library directory configuration.\nClosing application.", "ERROR",
                        MB_ICONWARNING);
    }

    std::string updatePath;
    if (readRegistryString(key, "updateFilePath", updatePath) || skipUpdates)
        removeStagedLibraryFolder(stagedLibraryFolder(updatePath, params.client));

    if (libraryDirectory.empty() || updatePath.empty()) {
        MessageBoxA(nullptr, "Invalid library directory configuration (NULL).\nClosing application.", "ERROR",
                    MB_ICONWARNING);
        return false;
    }

    if (!createWindow()) {
        showCatalogueBox(params, nullptr, kMsgNotInstalled, kMsgCaptionError, kSystemModalError);
        return false;
    }
    const HWND window = mainWindow.load();
    InvalidateRect(window, nullptr, TRUE);

    if (skipUpdates) {
        const QMUpdateCheckDoneFn checkDone = expectUpdateCheckDone();
        checkDone();
    } else {
        libraryHandle = loadProductLibrary(params.client, libraryFileName, libraryDirectory);
        if (!libraryHandle) {
            showCatalogueBox(params, window, kMsgCannotLoadProduct, kMsgCaptionError, kSystemModalError);
            return false;
        }
        FARPROC updateSystem = GetProcAddress(libraryHandle, "qmUpdateSystem");
        entryPoints.qmUpdateSystem.store(reinterpret_cast<qmUpdateSystemFn>(reinterpret_cast<void*>(updateSystem)));
        if (!updateSystem) {
            showEntryPointMissing("qmUpdateSystem");
            showCatalogueBox(params, window, kMsgCannotInitialize, kMsgCaptionError, kSystemModalError);
            return false;
        }
        reportState(kStateCheckingUpdates);
        const QMUpdateCheckDoneFn checkDone = expectUpdateCheckDone();
        const bool checking = queryEntryPoint(entryPoints.qmUpdateSystem, false, &params, window, checkDone,
                                              static_cast<void*>(this));
        if (!checking) {
            showCatalogueBox(params, window, kMsgUpdateFailed, kMsgCaptionWarning, kSystemModalWarning);
            checkDone();
        }
    }
    lowMemoryNotification.reset(CreateMemoryResourceNotification(LowMemoryResourceNotification));
    return true;
}
