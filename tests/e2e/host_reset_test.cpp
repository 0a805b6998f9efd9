// Resets of the running host: in a burst from several threads, against a
// close, and failing.
#include <gtest/gtest.h>

#include <cstdio>

#include "host_fixture.h"
#include "line_watch.h"
#include "owner_window.h"
#include "text_lines.h"

namespace {

// One reset sent by the owner, as a real owner does it, and what the
// product's second start reads.
struct OwnerResetCase {
    const char* name;
    const char* startArguments;
    const char* resetText;
    const char* onReset;  // what the product does with qmReset's text
    void (*check)(const DebugRun& run, const std::vector<std::string>& inits);
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const OwnerResetCase kOwnerResets[] = {
    {"UniversalUrl", "-scene 3", "quorvelmeet://launch?scene=7&language=es", "echo",
     [](const DebugRun&, const std::vector<std::string>& inits) {
         EXPECT_TRUE(contains(inits[1], " scene=7 ")) << inits[1];
         EXPECT_TRUE(contains(inits[1], " language=es ")) << inits[1];
     }},
    {"SameParameters", "-scene 3 -log_flags IWE", "-scene 3 -log_flags IWE", "echo",
     [](const DebugRun& run, const std::vector<std::string>& inits) {
         // The same record but for the extras, which the new text prunes.
         EXPECT_EQ(inits[0].substr(0, inits[0].find(" extras=")), inits[1].substr(0, inits[1].find(" extras=")));
         // Stopped and started again all the same, and said so.
         EXPECT_EQ(2u, productSaidCount(run, "qmStop"));
         EXPECT_EQ(2u, productSaidCount(run, "qmStart"));
         const auto said = run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters: current:");
         ASSERT_EQ(1u, said.size());
         const std::string& line = said[0];
         const size_t current = line.find("current:") + 8;
         const size_t fresh = line.find(" new:");
         ASSERT_NE(std::string::npos, fresh);
         EXPECT_EQ(line.substr(current, fresh - current), line.substr(fresh + 5, line.size() - fresh - 6)) << line;
     }},
    {"NullTextFromTheProduct", "-scene 3 -title Kept", "-scene 9", "null",
     [](const DebugRun& run, const std::vector<std::string>& inits) {
         // A null text counts as empty: the per-run fields start over.
         EXPECT_TRUE(productSaid(run, "qmReset -scene 9"));
         EXPECT_FALSE(contains(inits[1], " scene=3 ")) << inits[1];
         EXPECT_FALSE(contains(inits[1], " scene=9 ")) << inits[1];
         EXPECT_FALSE(contains(inits[1], "Kept")) << inits[1];
     }},
    {"LogMaskOfThePreviousRunStays", "-scene 3 -log_flags D", "-scene 4", "echo",
     [](const DebugRun& run, const std::vector<std::string>& inits) {
         EXPECT_TRUE(contains(inits[1], " scene=4 ")) << inits[1];
         // Written after the new parameters took over, so at their mask.
         EXPECT_TRUE(run.hasLine("D|Reset: -scene 4\n"));
     }},
};

class HostOwnerReset : public ::testing::TestWithParam<OwnerResetCase> {};

struct OwnerReset {
    DebugRun run;
    std::string windowClass;  // of the main window once the product is back
    std::string windowText;
};

// Sends the reset text from the owner window, waits for the product's second
// start and closes the host.
OwnerReset resetOnceFromTheOwner(const HostFixture& host, const std::string& startArguments,
                                 const std::string& text) {
    OwnerReset result;
    OwnerWindow owner;
    auto running = host.start("-owner " + owner.handleText() + " " + startArguments);
    HWND window = host.waitForRunningProduct();
    EXPECT_NE(nullptr, window);
    EXPECT_TRUE(owner.waitForState(1, 60000));
    EXPECT_EQ(1, owner.send(window, 4, text.c_str(), static_cast<DWORD>(text.size() + 1)));
    owner.waitForState(1, 120000, 2);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    result.windowClass = name;
    GetWindowTextA(window, name, sizeof name);
    result.windowText = name;
    result.run = closeUntilEnded(running, window, 3000, 60);
    return result;
}

TEST_P(HostOwnerReset, RestartsTheProductInTheSameWindow) {
    const OwnerResetCase& c = GetParam();
    HostFixture host(std::string("e2eownerreset") + c.name);
    ScopedEnvironment product({{"QMTP_ON_START", "ready"}, {"QMTP_ON_RESET", c.onReset}});
    const DebugRun run = resetOnceFromTheOwner(host, c.startArguments, c.resetText).run;
    EXPECT_EQ(0u, run.exitCode);
    const std::vector<std::string> inits = productSaidLines(run, "qmInit ");
    ASSERT_EQ(2u, inits.size());
    c.check(run, inits);
}

INSTANTIATE_TEST_SUITE_P(Texts, HostOwnerReset, ::testing::ValuesIn(kOwnerResets),
                         [](const ::testing::TestParamInfo<OwnerResetCase>& info) { return info.param.name; });

TEST(HostReset, AnotherProductIsStartedFromItsOwnKeyInTheSameWindow) {
    HostFixture host("e2eresetfrom");
    HostFixture other("e2eresetto");
    other.installation.setBinaryByte("skipUpdates", 1);  // tells which key the second start read
    ScopedEnvironment product({{"QMTP_ON_START", "ready"}});
    const OwnerReset reset = resetOnceFromTheOwner(host, "-title Same", "-product e2eresetto -title Other");
    const DebugRun& run = reset.run;
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("STAGEENGINE.E2ERESETFROM", reset.windowClass);
    EXPECT_EQ("Same", reset.windowText);
    EXPECT_TRUE(run.hasLine("E|Unsupported runtime product change: e2eresetfrom -> e2eresetto\n"));
    const std::vector<std::string> inits = productSaidLines(run, "qmInit ");
    ASSERT_EQ(2u, inits.size());
    EXPECT_TRUE(contains(inits[1], " product=e2eresetto ")) << inits[1];
    EXPECT_EQ(1u, productSaidCount(run, "qmUpdateSystem "));  // the new key skips the check
}

TEST(HostReset, ABurstFromSeveralThreadsRunsOneResetAtATime) {
    const size_t burst = 8;
    const std::string ran = "I|QMStandAlone::_reset:incompatible parameters:";
    HostFixture host("e2eresetburst");
    ScopedEnvironment product({{"QMTP_ON_START", "burst=" + std::to_string(burst)}});
    LineWatch watch;
    DebugRunOptions options;
    options.timeoutMs = 300000;  // a few resets, each loading 36 libraries under the emulator
    options.onLine = watch.hook();
    auto running = host.start("-log_flags IWE", "testproduct", options);
    HWND window = host.waitForWindow();
    ASSERT_NE(nullptr, window);
    // The burst has settled once the host has taken every thread's request
    // and the product has started again after the last reset that began (an
    // earlier reset's start may never come: a waiting request takes over as
    // soon as that reset is done).
    EXPECT_TRUE(watch.waitUntil(
        [&](const std::vector<std::string>& lines) {
            size_t lastReset = 0, lastStart = 0;
            for (size_t i = 0; i < lines.size(); ++i) {
                if (lines[i].rfind(ran, 0) == 0)
                    lastReset = i;
                else if (lines[i].rfind("T|qmStart", 0) == 0)
                    lastStart = i;
            }
            return !linesStartingWith(lines, "T|burst asked").empty() && lastReset > 0 && lastStart > lastReset;
        },
        240000));
    // A waiting request may still take over, and a close is refused while a
    // reset runs: keep asking until the host ends.
    const DebugRun run = closeUntilEnded(running, window, 1000, 240);
    std::string log;
    for (const std::string& line : run.lines)
        log += line;
    EXPECT_EQ(0u, run.exitCode) << log;
    EXPECT_FALSE(run.timedOut);
    const size_t resets = run.linesStartingWith(ran).size();
    EXPECT_GE(resets, 1u);
    EXPECT_LE(resets, burst);  // a waiting request is replaced by a newer one
    // The product runs again, once per start, with one of the burst's scenes.
    const std::vector<std::string> inits = productSaidLines(run, "qmInit");
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
    const DebugRun run = closeUntilEnded(running, window, 300, 1000);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(run.timedOut);
    // A close that lands after a reset but before the restarted product's
    // start closes the window at once, as during the first update check;
    // either way every start was stopped.
    EXPECT_GE(productSaidCount(run, "qmStart"), 1u);
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

// Runs the host with `owner` until the product has said it is ready a
// second time (after its resets), then closes it; its run.
DebugRun runUntilReadyAgain(const HostFixture& host, const OwnerWindow& owner, const std::string& arguments) {
    auto running = host.start("-owner " + owner.handleText() + " " + arguments);
    HWND window = host.waitForWindow();
    EXPECT_NE(nullptr, window);
    EXPECT_TRUE(owner.waitForState(1, 120000, 2));
    PostMessageW(window, WM_CLOSE, 0, 0);
    return running.get();
}

TEST(HostReset, ACloseDuringAResetIsCarriedOutWhenTheResetIsDone) {
    HostFixture host("e2eresetremember");
    OwnerWindow owner;
    // The first start asks for a reset, and one close arrives while the
    // product stops for it, as a user's click or an owner's only request.
    ScopedEnvironment product({{"QMTP_ON_START", "ready;first;reset=-scene 1"}, {"QMTP_ON_STOP", "first;close"}});
    const DebugRun run = host.run("-owner " + owner.handleText() + " -log_flags IWE");
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.hasLine("I|Close accepted: it follows when the product has restarted\n"));
    EXPECT_EQ(1u, run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters:").size());
    // The restarted product, when its start came first, was stopped too.
    EXPECT_EQ(productSaidCount(run, "qmStart"), productSaidCount(run, "qmStop"));
    const std::vector<int32_t> states = owner.states();
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ((std::vector<int32_t>{9, 0}), std::vector<int32_t>(states.end() - 2, states.end()));
}

TEST(HostReset, AResetAskedForWhileTheHostClosesIsRefused) {
    HostFixture host("e2eresetclosing");
    ScopedEnvironment product({{"QMTP_ON_START", "ready"}, {"QMTP_ON_STOP", "reset=-scene 5"}});
    auto running = host.start("-log_flags IWE");
    HWND window = host.waitForRunningProduct();
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DebugRun run = running.get();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.hasLine("W|Reset refused: the host is closing\n"));
    EXPECT_TRUE(run.linesStartingWith("I|QMStandAlone::_reset:").empty());
    EXPECT_EQ(1u, productSaidCount(run, "qmStop"));
    EXPECT_TRUE(run.boxes.empty());
}

TEST(HostReset, AFailedResetDropsTheRequestThatWaitedBehindIt) {
    HostFixture host("e2eresetfailwait");
    // The second request comes while the first (which fails) waits for the
    // product start to end.
    ScopedEnvironment product({{"QMTP_ON_START", "reset=-product e2eresetmissing;sleep=1500;reset=-scene 5"}});
    const DebugRun run = host.run("-log_flags IWE");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters:").size());
    EXPECT_EQ(1u, run.linesStartingWith("E|Reset failed!").size());
    EXPECT_EQ(2u, run.boxes.size());
}

TEST(HostReset, TheLaunchRecordDoesNotChangeUnderAProductStart) {
    HostFixture host("e2eresetrecord");
    OwnerWindow owner;
    // qmStart asks for a reset and then reads the record it was started
    // with: the reset has taken it over meanwhile only if it did not wait.
    ScopedEnvironment product({{"QMTP_ON_START", "ready;first;reset=-scene 5;sleep=1500;params"}});
    const DebugRun run = runUntilReadyAgain(host, owner, "");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"params scene=-1"}, productSaidLines(run, "params "));
    const std::vector<std::string> inits = productSaidLines(run, "qmInit ");
    ASSERT_EQ(2u, inits.size());
    EXPECT_TRUE(contains(inits[1], " scene=5 ")) << inits[1];
}

TEST(HostReset, AnUpdateCheckCompletesOnlyItsOwnRun) {
    HostFixture host("e2eresetchecks");
    OwnerWindow owner;
    // Two resets in a row, each check done on a thread 200 ms later: the
    // first check is still running when the second reset reloads the library.
    ScopedEnvironment product({{"QMTP_CHECK", "thread"},
                               {"QMTP_ON_START", "ready;first;reset=-scene 1;sleep=1500;reset=-scene 2"}});
    const DebugRun run = runUntilReadyAgain(host, owner, "-log_flags IWE");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(2u, run.linesStartingWith("I|QMStandAlone::_reset:incompatible parameters:").size());
    EXPECT_TRUE(run.linesStartingWith("W|Ignored an update-check message with no check pending").empty());
    // The outcome of the last check is read after that check said it was done.
    const std::vector<std::string> lines = productLines(run);
    size_t lastCheck = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("qmUpdateSystem ", 0) == 0)
            lastCheck = i;
    }
    ASSERT_LT(lastCheck, lines.size());
    size_t done = lines.size();
    size_t outcome = lines.size();
    for (size_t i = lastCheck; i < lines.size(); ++i) {
        if (done == lines.size() && lines[i] == "checkDone scene=2")
            done = i;
        if (outcome == lines.size() && lines[i].rfind("qmUpdateSystemGetData", 0) == 0)
            outcome = i;
    }
    ASSERT_LT(outcome, lines.size());
    EXPECT_LT(done, outcome);
    const std::vector<std::string> inits = productSaidLines(run, "qmInit ");
    ASSERT_FALSE(inits.empty());
    EXPECT_TRUE(contains(inits.back(), " scene=2 ")) << inits.back();
    EXPECT_EQ(productSaidCount(run, "qmStart"), productSaidCount(run, "qmStop"));
}

}  // namespace
