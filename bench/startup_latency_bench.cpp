// Start-up latency of the host with the test product, from its process start
// to the product's qmStart, against a floor program that creates a window and
// loads the same libraries with no please-wait dialog, in the same run.
// Prints figures, asserts nothing.
//
//   startup_latency_bench.exe [--runs N]
//
// Each round starts, in turn: the host with the update check skipped and with
// it (the test product answers at once), and the floor with one and with two
// loads (the host loads the libraries once for the check and again for the
// start).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "count_option.h"
#include "host_fixture.h"
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

std::string floorCommandLine(int loads) {
    return "\"" + testBinaryDirectory() + "startup_floor.exe\" --loads " + std::to_string(loads);
}

// One way of starting: the host in one configuration and its floor with the
// same number of loads.
struct Scenario {
    const char* name;
    int loads;
    HostFixture host;
    std::vector<double> hostSeconds, floorSeconds;

    Scenario(const char* name_, const char* product, int loads_, bool skipUpdates)
        : name(name_), loads(loads_), host(product) {
        if (skipUpdates)
            host.installation.setBinaryByte("skipUpdates", 1);
    }

    // False when a program did not get to its start.
    bool runRound(bool record) {
        const double hostStart = runToProductStart(host.commandLine("")).seconds;
        const double floorStart = runToProductStart(floorCommandLine(loads)).seconds;
        if (hostStart < 0 || floorStart < 0) {
            std::fprintf(stderr, "%s: a program did not get to its start (host %.2f, floor %.2f)\n", name,
                         hostStart, floorStart);
            return false;
        }
        if (record) {
            hostSeconds.push_back(hostStart);
            floorSeconds.push_back(floorStart);
        }
        return true;
    }

    void print() const {
        const RunFigures hostFigures = figuresOf(hostSeconds);
        const RunFigures floorFigures = figuresOf(floorSeconds);
        const double overhead = (hostFigures.median - floorFigures.median) / floorFigures.median;
        std::printf("%-28s %-24s %-24s %+6.1f %%\n", name, secondsText(hostFigures).c_str(),
                    secondsText(floorFigures).c_str(), overhead * 100);
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
    std::printf("%-28s %-24s %-24s %s\n", "", "host", "floor (same loads)", "overhead");
    for (const Scenario& scenario : scenarios)
        scenario.print();
    std::printf("floor: the same libraries loaded as often as the host loads them, with no please-wait dialog; "
                "overhead = (host - floor) / floor, from the medians\n");
    return 0;
}
