// Start-up latency of the host with the test product, from its process start
// to the product's qmStart, against a floor program that creates a window and
// loads the same libraries, in the same run. Prints figures, asserts nothing.
//
//   startup_latency_bench.exe [--runs N]
//
// Each round starts, in turn: the host with the update check skipped and with
// it (the test product answers at once), the floor with one and with two
// loads (the host loads the libraries once for the check and again for the
// start), and the floor with the host's please-wait dialog around each load,
// which measures what the loader spends waiting on the dialog's hand-shake:
// for the dialog thread's start (looking every 100 ms) and for its end (the
// idle dialog thread looks for the stop every 100 ms).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "count_option.h"
#include "host_fixture.h"
#include "please_wait_thread.h"
#include "run_figures.h"
#include "startup_signal.h"
#include "unmanaged_windows.h"

namespace {

constexpr int kDefaultRuns = 5;
constexpr DWORD kStartTimeoutMs = 120000;

struct StartedLine {
    double seconds = -1;  // since the program's start; negative: the line never came
    std::string text;
};

// Runs the program up to its started line, and ends it there: nothing after
// the line counts.
StartedLine runToProductStart(const std::string& commandLine) {
    StartedLine started;
    DebugRunOptions options;
    options.timeoutMs = kStartTimeoutMs;
    options.onLine = [&started](const ArrivingLine& line) {
        if (started.seconds < 0 && lineStartsWith(line.text, kProductStartedLine)) {
            started = {line.seconds, line.text};
            TerminateProcess(line.process, 0);
        }
    };
    runUnderDebugger(commandLine, options);
    return started;
}

// The hand-shake waits the floor reports on its started line; negative when
// it reports none.
double reportedWaits(const StartedLine& line) {
    const size_t at = line.text.find(kFloorWaitsField);
    return at == std::string::npos ? -1 : std::atof(line.text.c_str() + at + sizeof kFloorWaitsField - 1);
}

std::string floorCommandLine(int loads, bool pleaseWait) {
    return "\"" + testBinaryDirectory() + "startup_floor.exe\" --loads " + std::to_string(loads) +
           (pleaseWait ? " --please-wait" : "");
}

// One way of starting: the host in one configuration, its floor with the same
// number of loads, and the floor with the please-wait dialog.
struct Scenario {
    const char* name;
    int loads;
    HostFixture host;
    std::vector<double> hostSeconds, floorSeconds, waitSeconds;

    Scenario(const char* name_, const char* product, int loads_, bool skipUpdates)
        : name(name_), loads(loads_), host(product) {
        if (skipUpdates)
            host.installation.setBinaryByte("skipUpdates", 1);
    }

    // False when a program did not get to its start.
    bool runRound(bool record) {
        const double hostStart = runToProductStart(host.commandLine("")).seconds;
        const double floorStart = runToProductStart(floorCommandLine(loads, false)).seconds;
        const double waits = reportedWaits(runToProductStart(floorCommandLine(loads, true)));
        if (hostStart < 0 || floorStart < 0 || waits < 0) {
            std::fprintf(stderr, "%s: a program did not get to its start (host %.2f, floor %.2f, waits %.2f)\n",
                         name, hostStart, floorStart, waits);
            return false;
        }
        if (record) {
            hostSeconds.push_back(hostStart);
            floorSeconds.push_back(floorStart);
            waitSeconds.push_back(waits);
        }
        return true;
    }

    void print() const {
        const RunFigures hostFigures = figuresOf(hostSeconds);
        const RunFigures floorFigures = figuresOf(floorSeconds);
        const RunFigures waitFigures = figuresOf(waitSeconds);
        const double overhead = (hostFigures.median - floorFigures.median - waitFigures.median) / floorFigures.median;
        std::printf("%-28s %-24s %-24s %-24s %+6.1f %%\n", name, secondsText(hostFigures).c_str(),
                    secondsText(floorFigures).c_str(), secondsText(waitFigures).c_str(), overhead * 100);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = countOption(argc, argv, "--runs", kDefaultRuns);
    const ScopedUnmanagedWindows unmanaged({"quorvelmeet.exe", "startup_floor.exe"});
    Scenario scenarios[] = {
        {"update check skipped", "benchstartskip", 1, true},
        {"update check (answered)", "benchstartcheck", 2, false},
    };
    std::printf("start-up: process start to the product's qmStart, under the debugger harness; %d runs each "
                "after one warm-up round, median [lowest-highest]; windows unmanaged (no window manager here)\n", runs);
    for (int round = 0; round <= runs; ++round) {
        for (Scenario& scenario : scenarios) {
            if (!scenario.runRound(round > 0))
                return 1;
        }
    }
    std::printf("%-28s %-24s %-24s %-24s %s\n", "", "host", "floor (same loads)", "please-wait waits",
                "overhead");
    for (const Scenario& scenario : scenarios)
        scenario.print();
    std::printf("please-wait waits: measured in the floor run with the host's dialog around each load, the time its "
                "loader spent in the hand-shake (one showing per load: 1 with the check skipped, 2 with it). The "
                "loader looks for the dialog's start every %lu ms and the idle dialog thread looks for its stop "
                "every %lu ms, so each showing waits at least %lu ms, and up to %lu ms more at its end.\n",
                kPleaseWaitPollMs, kPleaseWaitPollMs, kPleaseWaitPollMs, kPleaseWaitPollMs);
    std::printf("overhead = (host - floor - waits) / floor, from the medians\n");
    return 0;
}
