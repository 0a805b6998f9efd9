// The product start after the update check, with real product libraries:
// the boxes a failing start shows, and the ones quiet mode leaves out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_harness.h"
#include "debug_log.h"
#include "host_state.h"
#include "message_box_watcher.h"
#include "private_messages.h"
#include "loop_delegate_win32.h"
#include "product_double.h"
#include "product_library_loader.h"
#include "update_check.h"
#include "update_outcome.h"
#include "qm_standalone.h"

namespace {

std::string log;
void captureLog(const char* line) { log += line; }

std::string missing(const char* name) {
    return std::string("Application can't be initialized.\n\n(") + name + " entry point not found)";
}

const char* const kCannotLoad = "Unable to load product library.\nThe application might not be correctly installed.";
const char* const kCannotInitialize =
    "The 3D viewer has not been correctly installed.\nTCould not initialize the application.";

struct FailedStartCase {
    const char* name;
    const char* client;
    bool cloud;
    std::vector<std::string> boxes;
};

const FailedStartCase kFailedStarts[] = {
    {"NotLoaded", "no_such_product", false, {kCannotLoad}},
    {"NotLoadedQuietly", "no_such_product", true, {}},
    {"NotBound", "testproduct_noevents", false, {missing("qmResize"), missing("qmWinEvent"), kCannotInitialize}},
    // The entry-point lookup boxes show in quiet mode too.
    {"NotBoundQuietly", "testproduct_noevents", true, {missing("qmResize"), missing("qmWinEvent")}},
};

// Runs the product start of `c` through the window's update-check message;
// the texts of the boxes it showed.
std::vector<std::string> failedStartBoxes(const FailedStartCase& c) {
    QMStandAlone application(GetModuleHandleW(nullptr), L"start test");
    application.params.client = c.client;
    if (c.cloud)
        application.params.extras.emplace_back("cloud_instance", "");
    application.libraryFileName = "no_such_fallback.dll";
    application.libraryDirectory = testBinaryDirectory();
    application.libraryDirectory.pop_back();
    HWND window = createMainWindowForTest(reinterpret_cast<LONG_PTR>(&application));
    mainWindow.store(window);

    MessageBoxWatcher watcher;
    expectUpdateCheckDone()();
    MSG message;
    while (PeekMessageW(&message, window, kPrivateMessage, kPrivateMessage, PM_REMOVE))
        DispatchMessageW(&message);
    watcher.stop();

    EXPECT_EQ(nullptr, activeDelegate.load());  // the product did not start
    unloadProductLibrary(application.libraryHandle);
    application.libraryHandle = nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    // WM_DESTROY's quit message would end the next case's boxes at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    std::vector<std::string> texts;
    for (const RecordedBox& box : watcher.boxes())
        texts.push_back(box.text);
    return texts;
}

TEST(ProductStart, AFailedStartTellsTheUserUnlessQuiet) {
    const LogSink previous = setLogSink(&captureLog);
    for (const FailedStartCase& c : kFailedStarts) {
        SCOPED_TRACE(c.name);
        log.clear();
        EXPECT_EQ(c.boxes, failedStartBoxes(c)) << log;
    }
    setLogSink(previous);
}

}  // namespace
