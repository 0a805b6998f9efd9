// A long chain of resets: every one restarts the product, and nothing but the
// loop delegates (never freed, by design) piles up in the host.
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

TEST(HostResetSoak, AHundredResetsInARowRestartTheProductEachTimeAndPileNothingUp) {
    const int resets = 100;
    HostFixture host("e2eresetsoak");
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", "ready;chain=" + std::to_string(resets)}});
    DebugRunOptions options;
    options.timeoutMs = 45 * 60 * 1000;  // each reset loads 36 libraries under an emulated CPU
    const DebugRun run = host.run("-owner " + owner.handleText() + " -log_flags IWE", "testproduct", options);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(run.timedOut);
    const std::vector<Resources> resources = resourcesOf(run);
    ASSERT_EQ(static_cast<size_t>(resets + 1), resources.size());
    for (size_t i = 1; i < resources.size(); ++i)  // each reset's own parameters
        EXPECT_EQ(static_cast<int>(i), resources[i].scene) << "reset " << i;
    EXPECT_EQ(static_cast<size_t>(resets + 1), productSaidCount(run, "qmStop"));  // and once at the end
    EXPECT_EQ(static_cast<size_t>(resets),
              run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters: current:").size());
    // Handles and threads must come back to where they were after the first
    // reset: a leak of one a reset would show a hundred times over.
    const Resources& first = resources[1];
    const Resources& last = resources.back();
    std::printf("after the first reset: %lu handles, %lu threads; after %d: %lu handles, %lu threads\n",
                first.handles, first.threads, resets, last.handles, last.threads);
    EXPECT_LE(last.handles, first.handles + 10);
    EXPECT_LE(last.threads, first.threads + 3);
    // Every start reported ready to the owner.
    EXPECT_EQ(static_cast<size_t>(resets + 1), owner.stateCount(1));
}

}  // namespace
