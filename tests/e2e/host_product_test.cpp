// The running host with the test product: entry points, the owner window,
// the loop delegate, messages from other processes and resets.
#include <gtest/gtest.h>


#include "host_fixture.h"
#include "host_version.h"
#include "line_watch.h"
#include "owner_window.h"

namespace {

std::string missing(const char* name) {
    return std::string("Application can't be initialized.\n\n(") + name + " entry point not found)";
}

const char* const kCannotInitialize =
    "The 3D viewer has not been correctly installed.\nTCould not initialize the application.";

struct VariantCase {
    const char* client;
    std::vector<std::string> boxes;  // texts, in order
    bool starts;
    bool endsByItself;  // start-up fails: the process ends on its own
};

class HostEntryPoints : public testing::TestWithParam<VariantCase> {};

TEST_P(HostEntryPoints, MissingExportsAreToldOneByOne) {
    const VariantCase& c = GetParam();
    HostFixture host(std::string("e2e") + c.client);
    ScopedEnvironment product({{"QMTP_ON_START", "quit"}});
    // A product that does not start leaves its window open: once its boxes
    // are answered, the harness closes it.
    DebugRunOptions options;
    if (!c.starts && !c.endsByItself)
        options.closeAfterBoxes = c.boxes.size();
    const DebugRun run = host.run("", c.client, options);
    std::vector<std::string> texts;
    for (const RecordedBox& box : run.boxes)
        texts.push_back(box.text);
    std::string log;
    for (const std::string& line : run.lines)
        log += line;
    EXPECT_EQ(c.boxes, texts) << log << "exit code " << run.exitCode;
    EXPECT_EQ(c.starts, productSaid(run, "qmStart"));
    EXPECT_FALSE(run.timedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, HostEntryPoints,
    testing::Values(VariantCase{"testproduct_nokey", {}, true, false},
                    VariantCase{"testproduct_noreset", {kCannotInitialize}, false, false},
                    VariantCase{"testproduct_noevents", {missing("qmResize"), missing("qmWinEvent"), kCannotInitialize},
                                false, false},
                    // Missing after the check as well as in the binding of the product start.
                    VariantCase{"testproduct_nodata",
                                {missing("qmUpdateSystemGetData"), missing("qmUpdateSystemRelease"),
                                 missing("qmUpdateSystemGetData"), missing("qmUpdateSystemRelease"), kCannotInitialize},
                                false, false},
                    VariantCase{"testproduct_noupdate",
                                {missing("qmUpdateSystem"), kCannotInitialize,
                                 "Unable to initialize application.\nProgram aborted."},
                                false, true}),
    [](const testing::TestParamInfo<VariantCase>& info) { return std::string(info.param.client); });

TEST(HostProduct, OwnerSeesTheStatesAndTheDelegateWorks) {
    HostFixture host("e2eowner");
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", "ready;hide;show;fullscreen;framed;quit"}});
    const DebugRun run = host.run("-owner " + owner.handleText());
    EXPECT_EQ(0u, run.exitCode);
    // 6 before the check, 1 ready, 8 quitting, 9 stopped, 0 at the end.
    EXPECT_EQ((std::vector<int32_t>{6, 1, 8, 9, 0}), owner.states());
    for (const ReceivedCopyData& data : owner.received())
        EXPECT_NE(nullptr, data.sender);
    EXPECT_TRUE(productSaid(run, std::string("qmInit version=") + QM_VERSION_TEXT + " "));
}

TEST(HostProduct, FullScreenProductStartsWithTheMonitorsSize) {
    HostFixture host("e2efullscreen");
    ScopedEnvironment product({{"QMTP_FULLSCREEN", "1"}, {"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("");
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(productSaid(run, "qmStart size=" + std::to_string(width) + "x" + std::to_string(height)));
}

TEST(HostProduct, WindowIsNamedAfterTheProductAndTitled) {
    HostFixture host("e2ewindow");
    auto running = host.start("-title \"A title\" -resolution 640x400|10x20");
    HWND window = host.waitForRunningProduct();
    ASSERT_NE(nullptr, window);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("A title", text);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(productSaid(run, "qmStart size=640x400"));
}

TEST(HostProduct, ForgedPrivateMessagesFromAnotherProcessChangeNothing) {
    HostFixture host("e2eforged");
    LineWatch watch;
    DebugRunOptions options;
    options.timeoutMs = HostFixture::kStartedRunTimeoutMs;
    options.onLine = watch.hook();
    auto running = host.start("-log_flags we", "testproduct", options);
    HWND window = host.waitForRunningProduct();
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_USER, 0x1234, 0);
    PostMessageW(window, WM_USER, 0x4321, 0x10);
    PostMessageW(window, WM_USER, 0x4321, reinterpret_cast<LPARAM>(window));
    PostMessageW(window, WM_APP + 2, 0x20, 0);
    // The window tells each one it handled as ignored.
    EXPECT_TRUE(watch.waitForLines("W|Ignored", 4, 60000));
    EXPECT_TRUE(IsWindow(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, productSaidCount(run, "qmStart"));
    EXPECT_EQ(4u, run.linesStartingWith("W|Ignored").size());
}

TEST(HostProduct, DoResetFromTheOwnerRestartsTheProductWithTheNewParameters) {
    HostFixture host("e2ereset");
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", "ready"}});
    auto running = host.start("-owner " + owner.handleText() +
                              " -language es -log_flags IWE -keepme 1 -cache_path C:\\x -scene 3");
    ASSERT_TRUE(owner.waitForState(1, 60000));
    HWND window = host.waitForWindow();
    const char text[] = "-scene 12 -positionTool poi,7,1,2,3";
    EXPECT_EQ(1, owner.send(window, 4, text, sizeof text));
    // Ready again after the restart: the owner sees the states once more.
    owner.waitForState(1, 60000, 2);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    const std::vector<std::string> inits = productSaidLines(run, "qmInit");
    ASSERT_EQ(2u, inits.size());
    const std::string& second = inits[1];
    EXPECT_NE(std::string::npos, second.find("language=es")) << second;
    EXPECT_NE(std::string::npos, second.find("scene=12")) << second;
    EXPECT_NE(std::string::npos, second.find("owner=" + owner.handleText())) << second;
    EXPECT_NE(std::string::npos, second.find("pt=1,1,7")) << second;
    EXPECT_NE(std::string::npos, second.find("cache_path=C:\\x")) << second;
    EXPECT_EQ(std::string::npos, second.find("keepme")) << second;
    EXPECT_TRUE(productSaid(run, "qmReset -scene 12"));
    EXPECT_FALSE(run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters: current:").empty());
}

// An exception thrown inside the product library and let out of an export
// or a loop operation is not contained: host and library each link the GCC
// run-time statically, each with an unwinder of its own that does not see
// the other's frames, so the library's run-time finds no handler and ends
// the process (std::terminate, exit code 3 after abort). Only the host's own
// fallbacks' exceptions are contained (MainWindowProc tests).
struct ProductThrowCase {
    const char* name;
    const char* onStart;
    const char* canClose;
    bool closeWindow;  // the throw comes with the close
    const char* lastProductLine;
};

const ProductThrowCase kProductThrows[] = {
    {"FromQmStart", "ready;throw", "1", false, "delegate throw"},
    {"FromTheLoopsCanClose", "ready", "throw", true, "canClose"},
};

class HostProductThrows : public testing::TestWithParam<ProductThrowCase> {};

TEST_P(HostProductThrows, EndTheProcessThroughTheLibrarysRunTime) {
    const ProductThrowCase& c = GetParam();
    HostFixture host(std::string("e2ethrows") + c.name);
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", c.onStart}, {"QMTP_CANCLOSE", c.canClose}});
    auto running =
        host.start("-owner " + owner.handleText() + " -no_crash_report -log_flags IWE", "testproduct_throws");
    HWND window = host.waitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(owner.waitForState(1, 60000));
    if (c.closeWindow)
        PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_TRUE(run.linesStartingWith("E|Exception from the product library").empty());
    const std::vector<std::string> lines = productLines(run);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(c.lastProductLine, lines.back());
    EXPECT_FALSE(productSaid(run, "qmStop"));
}

INSTANTIATE_TEST_SUITE_P(Throws, HostProductThrows, testing::ValuesIn(kProductThrows),
                         [](const testing::TestParamInfo<ProductThrowCase>& info) { return info.param.name; });

}  // namespace
