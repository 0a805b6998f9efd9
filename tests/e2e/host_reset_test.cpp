// Resets of the running host: in a chain, in a burst from several threads,
// and against a close.
#include <gtest/gtest.h>

#include <cstdio>

#include "host_fixture.h"
#include "owner_window.h"

namespace {

struct Resources {
    int scene;
    unsigned long handles;
    unsigned long threads;
};

std::vector<Resources> resourcesOf(const DebugRun& run) {
    std::vector<Resources> all;
    for (const std::string& line : productLines(run)) {
        Resources r = {};
        if (std::sscanf(line.c_str(), "resources scene=%d handles=%lu threads=%lu", &r.scene, &r.handles,
                        &r.threads) == 3)
            all.push_back(r);
    }
    return all;
}

TEST(HostReset, AChainOfResetsRestartsTheProductEachTimeAndPilesNothingUp) {
    const int resets = 20;
    HostFixture host("e2eresetchain");
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", "ready;chain=" + std::to_string(resets)}});
    DebugRunOptions options;
    options.timeoutMs = 900000;
    const DebugRun run = host.run("-owner " + owner.handleText() + " -log_flags IWE", "testproduct", options);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(run.timedOut);
    const std::vector<Resources> resources = resourcesOf(run);
    ASSERT_EQ(static_cast<size_t>(resets + 1), resources.size());
    EXPECT_EQ(static_cast<size_t>(resets + 1), productSaidCount(run, "qmStop"));  // and once at the end
    EXPECT_EQ(static_cast<size_t>(resets),
              run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters: current:").size());
    // The loop delegates are never freed by design; handles and threads
    // must come back to where they were after the first reset.
    const Resources& first = resources[1];
    const Resources& last = resources.back();
    std::printf("after the first reset: %lu handles, %lu threads; after %d: %lu handles, %lu threads\n",
                first.handles, first.threads, resets, last.handles, last.threads);
    EXPECT_LE(last.handles, first.handles + 10);
    EXPECT_LE(last.threads, first.threads + 3);
    // Every start reported ready to the owner.
    size_t ready = 0;
    for (int32_t state : owner.states())
        ready += state == 1;
    EXPECT_EQ(static_cast<size_t>(resets + 1), ready);
}

TEST(HostReset, ABurstFromSeveralThreadsRunsOneResetAtATime) {
    HostFixture host("e2eresetburst");
    ScopedEnvironment product({{"QMTP_ON_START", "burst=8"}});
    auto running = host.start("-log_flags IWE");
    HWND window = host.waitForWindow();
    ASSERT_NE(nullptr, window);
    // Wait until the burst has settled: the last request wins, so the product
    // ends up at one of the burst's scenes.
    Sleep(30000);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    std::string log;
    for (const std::string& line : run.lines)
        log += line;
    EXPECT_EQ(0u, run.exitCode) << log;
    EXPECT_FALSE(run.timedOut);
    const size_t resets = run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters:").size();
    EXPECT_GE(resets, 1u);
    EXPECT_LE(resets, 8u);  // a waiting request is replaced by a newer one
    // The product runs again, once per start, with one of the burst's scenes.
    std::vector<std::string> inits;
    for (const std::string& line : productLines(run)) {
        if (line.rfind("qmInit", 0) == 0)
            inits.push_back(line);
    }
    ASSERT_GE(inits.size(), 2u);
    EXPECT_EQ(inits.size(), productSaidCount(run, "qmStart"));
    int scene = 0;
    ASSERT_EQ(1, std::sscanf(inits.back().c_str() + inits.back().find("scene="), "scene=%d", &scene));
    EXPECT_GE(scene, 100);
    EXPECT_LE(scene, 107);
}

TEST(HostReset, ACloseDuringResetsEndsTheProcessCleanly) {
    HostFixture host("e2eresetclose");
    // A short chain that quits at its end: closes keep arriving meanwhile.
    ScopedEnvironment product({{"QMTP_ON_START", "chain=6"}});
    auto running = host.start("", "testproduct", 300000);
    // The first start asks for a reset before any posted close can arrive.
    HWND window = host.waitForRunningProduct();
    ASSERT_NE(nullptr, window);
    // A close that arrives while a reset runs is refused; keep asking.
    while (running.wait_for(std::chrono::milliseconds(300)) != std::future_status::ready)
        PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(run.timedOut);
    EXPECT_GE(productSaidCount(run, "qmStart"), 2u);
    EXPECT_EQ(productSaidCount(run, "qmStart"), productSaidCount(run, "qmStop"));
}

TEST(HostReset, AFailedResetShowsItsBoxesAndEndsWithExitCodeZero) {
    HostFixture host("e2eresetfail");
    // The new product has no installation: its start-up fails.
    ScopedEnvironment product({{"QMTP_ON_START", "reset=-product e2eresetmissing"}});
    const DebugRun run = host.run("-log_flags IWE");
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ("Invalid library directory configuration (NULL).\nClosing application.", run.boxes[0].text);
    EXPECT_EQ("Something has gone wrong restarting the application.", run.boxes[1].text);
    EXPECT_EQ("Error", run.boxes[1].caption);
    EXPECT_TRUE(run.hasLine("E|Reset failed!\n"));
    EXPECT_TRUE(run.hasLine("E|Unsupported runtime product change: e2eresetfail -> e2eresetmissing\n"));
    EXPECT_EQ(0u, run.exitCode);
}

}  // namespace
