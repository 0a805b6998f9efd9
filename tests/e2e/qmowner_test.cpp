// The owner tool against the real host and the test product.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "host_fixture.h"
#include "owner_window.h"
#include "test_files.h"
#include "text_lines.h"
#include "unique_handle.h"

namespace {

struct Captured {
    DWORD exitCode = 0;
    std::string output;
};

// Runs a console program and collects its standard output. Through a file,
// not a pipe: the programs it starts may keep a pipe open past its end.
Captured runCapturing(const std::string& commandLine) {
    Captured result;
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "qmo", 0, path);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueFileHandle output(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!output)
        return result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        UniqueKernelHandle process(info.hProcess);
        UniqueKernelHandle thread(info.hThread);
        WaitForSingleObject(process.get(), INFINITE);
        GetExitCodeProcess(process.get(), &result.exitCode);
    }
    output.reset();
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[4096];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            for (size_t i = 0; i < read; ++i) {
                if (buffer[i] != '\r')  // standard output is in text mode
                    result.output += buffer[i];
            }
        }
        std::fclose(file);
    }
    DeleteFileA(path);
    return result;
}

std::string qmowner(const std::string& arguments) {
    return "\"" + testBinaryDirectory() + "qmowner.exe\" " + arguments;
}

TEST(QmOwner, RunPrintsTheStateReportsAndTheExitCode) {
    HostFixture host("e2eqmownerrun");
    ScopedEnvironment product({{"QMTP_ON_START", "ready;quit"}});
    const Captured run = runCapturing(qmowner("run --timeout 120 -- -product e2eqmownerrun -client testproduct"));
    EXPECT_EQ(0u, run.exitCode) << run.output;
    // 6 before the update check, 1 ready, 8 quitting, 9 stopped, 0 at the end.
    size_t at = 0;
    for (const char* state : {"state 6\n", "state 1\n", "state 8\n", "state 9\n", "state 0\n", "exit 0\n"}) {
        const size_t found = run.output.find(state, at);
        ASSERT_NE(std::string::npos, found) << state << " in\n" << run.output;
        at = found;
    }
}

// Each argument after "--" reaches the host whole: a title with a space, and
// a journal path with one (the product writes there, the host being no child
// of a debugger here).
TEST(QmOwner, RunPassesEachArgumentToTheHostWhole) {
    HostFixture host("e2eqmownerargs");
    TemporaryFolder work("qmowner arguments");
    const std::string journal = work.path() + "\\journal.txt";
    ScopedEnvironment product({{"QMTP_ON_START", "ready;quit"}});
    const Captured run = runCapturing(qmowner("run --timeout 120 -- -product e2eqmownerargs -client testproduct "
                                              "-title \"Two words\" -qmtp_journal \"" + journal + "\""));
    EXPECT_EQ(0u, run.exitCode) << run.output;
    const std::vector<std::string> inits = linesStartingWith(readFileLines(journal), "qmInit ");
    ASSERT_EQ(1u, inits.size()) << run.output;
    EXPECT_NE(std::string::npos, inits[0].find(" title=Two words token= ")) << inits[0];
}

TEST(QmOwner, RunRefusesAnArgumentTheHostCannotRead) {
    const Captured run = runCapturing(qmowner("run -- -title \"say \\\"hi\\\" now\""));
    EXPECT_EQ(64u, run.exitCode) << run.output;
    EXPECT_EQ(0u, run.output.find("qmowner: an argument holds both a quote and a space")) << run.output;
}

TEST(QmOwner, SendResetReachesTheProduct) {
    HostFixture host("e2eqmownersend");
    // Set before the host starts, which takes its environment then: a product
    // that echoed the text would reset, and the close below could land while
    // that reset runs, be refused and leave the host running.
    ScopedEnvironment noEcho({{"QMTP_ON_RESET", "ignore"}});
    auto running = host.start("");
    HWND window = host.waitForRunningProduct();
    ASSERT_NE(nullptr, window);
    const Captured sent = runCapturing(qmowner("send e2eqmownersend reset \"-scene 4\""));
    EXPECT_EQ("answer 1\n", sent.output);
    const Captured refused = runCapturing(qmowner("send e2eqmownersend command 7"));
    EXPECT_EQ("answer 0\n", refused.output);
    EXPECT_EQ(0u, runCapturing(qmowner("send e2eqmownersend close")).exitCode);
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(productSaid(run, "qmReset -scene 4"));
    EXPECT_EQ(1u, productSaidCount(run, "qmStart")) << "the product was to take the text without a reset";
}

TEST(QmOwner, SendResetRestartsTheProductWithTheNewTextAndTheOwnerSeesItsStatesAgain) {
    HostFixture host("e2eqmownerreset");
    OwnerWindow owner;
    ScopedEnvironment product({{"QMTP_ON_START", "ready"}});
    auto running = host.start("-owner " + owner.handleText() + " -scene 3");
    ASSERT_NE(nullptr, host.waitForRunningProduct());
    ASSERT_TRUE(owner.waitForState(1, 60000));
    const Captured sent = runCapturing(qmowner("send e2eqmownerreset reset \"-scene 4 -title Again\""));
    EXPECT_EQ("answer 1\n", sent.output);
    // The host refuses to close while the reset runs: ask until it goes.
    for (int attempt = 0; attempt < 60 && running.wait_for(std::chrono::seconds(3)) != std::future_status::ready;
         ++attempt)
        runCapturing(qmowner("send e2eqmownerreset close"));
    const DebugRun run = running.get();
    EXPECT_EQ(0u, run.exitCode);
    const std::vector<std::string> inits = productSaidLines(run, "qmInit ");
    ASSERT_EQ(2u, inits.size());
    EXPECT_NE(std::string::npos, inits[0].find(" scene=3"));
    EXPECT_NE(std::string::npos, inits[1].find(" scene=4"));
    EXPECT_NE(std::string::npos, inits[1].find(" title=Again "));
    EXPECT_EQ(2u, owner.stateCount(1));
}

}  // namespace
