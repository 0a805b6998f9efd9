#include "update_outcome.h"

#include <windows.h>

#include <shellapi.h>

#include "catalogue_box.h"
#include "entry_point_binding.h"
#include "entry_points.h"
#include "host_state.h"
#include "message_catalogue.h"
#include "owner_messages.h"
#include "product_library_loader.h"
#include "product_start.h"
#include "qm_standalone.h"
#include "spawn_updater.h"
#include "update_check.h"

namespace {

// Collects the outcome from the library loaded for the check and unloads it.
qm::UpdateData collectUpdateOutcome(QMStandAlone& application) {
    qm::UpdateData data;
    if (!application.libraryHandle)
        return data;
    HMODULE module = application.libraryHandle;
    constexpr MissingEntryPoint required = MissingEntryPoint::BoxAndFailure;
    if (bindEntryPoint(module, entryPoints.qmUpdateSystemGetData, "qmUpdateSystemGetData",
                       qmUpdateSystemGetDataFn{}, required))
        callEntryPoint(entryPoints.qmUpdateSystemGetData, &data);
    if (bindEntryPoint(module, entryPoints.qmUpdateSystemRelease, "qmUpdateSystemRelease",
                       qmUpdateSystemReleaseFn{}, required))
        callEntryPoint(entryPoints.qmUpdateSystemRelease);
    unloadProductLibrary(module);
    application.libraryHandle = nullptr;
    return data;
}

}  // namespace

void onUpdateCheckDone(QMStandAlone& application, unsigned check) {
    if (!takeUpdateCheckDone(check))
        return;
    const qm::UpdateData data = collectUpdateOutcome(application);
    const qm::LaunchParameters& params = application.params;
    const HWND window = mainWindow.load();

    if (data.flags & qm::kUpdateAbort) {
        const bool downloadPage = (data.flags & qm::kUpdateDownloadPage) != 0;
        if (downloadPage)
            showCatalogueBox(params, window, kMsgNewVersionPage, kMsgCaptionInformation, kSystemModalInformation);
        else
            showCatalogueBox(params, window, kMsgUpdateFailed, kMsgCaptionWarning, kSystemModalError);
        reportState(kStateEnded);
        if (downloadPage && !data.url.empty())
            ShellExecuteA(nullptr, "open", data.url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        PostQuitMessage(-1);
        return;
    }
    if (data.flags & qm::kUpdateRunUpdater) {
        reportState(kStateReady);
        spawnUpdater(params.product.c_str(), data.productName.c_str(), data.src.c_str(),
                     application.libraryDirectory.c_str());
        showCatalogueBox(params, window, kMsgUpdateFailed, kMsgCaptionWarning, kSystemModalWarning);
        PostQuitMessage(-1);
        return;
    }
    startProduct(application);
}
