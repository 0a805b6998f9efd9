#include "qm_standalone.h"

#include "debug_log.h"
#include "host_state.h"
#include "launch_record.h"
#include "owner_messages.h"
#include "window_class_name.h"

QMStandAlone::QMStandAlone(HINSTANCE instance_, const std::wstring& windowTitle_)
    : instance(instance_),
      windowTitle(windowTitle_),
      params(qm::defaultLaunchParameters()) {
    mainWindow.store(nullptr);
    ownerWindow.store(nullptr);
    if (!SetProcessDPIAware())
        debugLog(kLogError, "Unable to set DPI Aware");
    buildWindowClassName(params.product, windowClassName);
}

QMStandAlone::~QMStandAlone() {
    reportState(kStateEnded);
}

void QMStandAlone::applyParameters(const qm::LaunchParameters& record) {
    const std::string oldProduct = params.product;
    params = record;
    if (const std::string* flags = params.findExtra("log_flags"))
        applyLogFlags(flags->c_str());
    if (oldProduct != params.product && mainWindow.load())
        debugLog(kLogError, "Unsupported runtime product change: %s -> %s", oldProduct.c_str(),
                 params.product.c_str());
    ownerWindow.store(reinterpret_cast<HWND>(params.owner));
    params.positionTool.ownerNotify = &sendOwnerRecord;
    if (!mainWindow.load())
        buildWindowClassName(params.product, windowClassName);
}

QMStandAlone* QMStandAlone::fromWindow(HWND window) {
    return reinterpret_cast<QMStandAlone*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
