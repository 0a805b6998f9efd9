#include "product_start.h"

#include <windows.h>

#include "catalogue_box.h"
#include "entry_point_binding.h"
#include "entry_points.h"
#include "full_screen.h"
#include "host_state.h"
#include "host_version_resource.h"
#include "loop_delegate_host.h"
#include "loop_delegate_win32.h"
#include "message_catalogue.h"
#include "product_library_loader.h"
#include "qm_standalone.h"

void startProduct(QMStandAlone& application) {
    const HWND window = mainWindow.load();
    const qm::LaunchParameters& params = application.params;
    application.libraryHandle = loadProductLibrary(params.client, application.libraryFileName,
                                                   application.libraryDirectory);
    if (!application.libraryHandle) {
        showCatalogueBox(params, window, kMsgCannotLoadProduct, kMsgCaptionError, kSystemModalError);
        return;
    }
    // The entry-point lookup boxes show also for a cloud instance.
    if (!bindEntryPoints(application.libraryHandle)) {
        showCatalogueBox(params, window, kMsgCannotInitialize, kMsgCaptionError, kSystemModalError);
        return;
    }
    const qm::HostVersion version = readHostVersion();
    callEntryPoint(entryPoints.qmInit, &application.params, &version);
    if (queryEntryPoint(entryPoints.qmIsFullScreen, 0) != 0)
        switchFullScreen(window, true, application.width, application.height);

    ShowWindow(window, application.showCommand);
    UpdateWindow(window);
    BringWindowToTop(window);
    SetFocus(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);

    auto* delegate = QMLoopDelegateWin32::create(loopDelegateHost());
    activeDelegate.store(delegate);
    callEntryPoint(entryPoints.qmStart, static_cast<qm::QMLoopDelegate*>(delegate),
                   static_cast<int>(application.width), static_cast<int>(application.height), window, window, 0);
}
