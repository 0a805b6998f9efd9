// Resets in a row with the test product: the latency of each, from the
// product's reset request to its next qmStart, and the host's private memory
// before the first reset and after the last. Prints figures, asserts nothing.
//
//   reset_soak_bench.exe [--resets N]     (default 100)
//
// The test product drives the chain itself: at each start it asks the host's
// loop delegate to reset to the next scene, until the last, where it quits.
// The installation runs the update check, which the test product answers at
// once, so each reset loads the libraries twice, as at a normal start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "count_option.h"
#include "host_fixture.h"
#include "process_memory.h"
#include "run_figures.h"
#include "startup_signal.h"
#include "unmanaged_windows.h"

namespace {

constexpr int kDefaultResets = 100;
constexpr int kMostResets = 10000;  // keeps the whole run's time-out in range
constexpr DWORD kTimeoutPerResetMs = 60000;
constexpr char kChainRequestLine[] = "T|delegate chain=";  // written just before the product asks for the reset

struct ProductStart {
    double seconds;
    PrivateMemory memory;
};

struct ChainTimeline {
    std::vector<ProductStart> starts;
    std::vector<double> requests;
};

double megabytes(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void printMemory(const char* when, const PrivateMemory& memory) {
    std::printf("  %-26s PrivateUsage %7.2f MB  PagefileUsage %7.2f MB  committed private regions %7.2f MB\n",
                when, megabytes(memory.privateUsage), megabytes(memory.pagefileUsage),
                megabytes(memory.committedPrivate));
}

}  // namespace

int main(int argc, char** argv) {
    const int resets = std::min(countOption(argc, argv, "--resets", kDefaultResets), kMostResets);
    const ScopedUnmanagedWindows unmanaged({"quorvelmeet.exe"});
    HostFixture host("benchresetsoak");
    ScopedEnvironment product({{"QMTP_ON_START", "chain=" + std::to_string(resets)}});

    ChainTimeline timeline;
    DebugRunOptions options;
    options.timeoutMs = kTimeoutPerResetMs * static_cast<DWORD>(resets + 1);
    options.onLine = [&timeline](const ArrivingLine& line) {
        if (lineStartsWith(line.text, kProductStartedLine))
            timeline.starts.push_back({line.seconds, privateMemoryOf(line.process)});
        else if (lineStartsWith(line.text, kChainRequestLine))
            timeline.requests.push_back(line.seconds);
    };
    const DebugRun run = host.run("-scene 0", kTestProductClient, options);

    // Each start but the last asks for a reset; the last quits.
    const size_t expectedStarts = static_cast<size_t>(resets) + 1;
    if (run.timedOut || run.exitCode != 0 || timeline.starts.size() != expectedStarts ||
        timeline.requests.size() != expectedStarts) {
        std::fprintf(stderr, "the chain did not complete: exit code %ld%s, %zu starts and %zu requests of %zu\n",
                     static_cast<long>(run.exitCode), run.timedOut ? " (timed out)" : "", timeline.starts.size(),
                     timeline.requests.size(), expectedStarts);
        return 1;
    }
    std::vector<double> latencies;
    for (size_t i = 0; i + 1 < timeline.starts.size(); ++i)
        latencies.push_back(timeline.starts[i + 1].seconds - timeline.requests[i]);
    const RunFigures figures = figuresOf(latencies);
    std::printf("%d resets in a row with the test product (update check answered at once), under the debugger "
                "harness, windows unmanaged, %.0f s in all\n", resets, timeline.starts.back().seconds - timeline.starts.front().seconds);
    std::printf("  reset request to the next qmStart: median %.2f s, worst %.2f s (best %.2f s)\n", figures.median,
                figures.highest, figures.lowest);
    printMemory("before the first reset:", timeline.starts.front().memory);
    printMemory("after the first reset:", timeline.starts[1].memory);
    printMemory("after the last reset:", timeline.starts.back().memory);
    if (timeline.starts.front().memory.privateUsage == 0)
        std::printf("  PrivateUsage reads 0 here (Wine leaves it unset). PagefileUsage, the same commit charge on "
                    "Windows, is under Wine the hosting Linux process's anonymous memory, the emulator's code cache "
                    "included; the committed private regions are the Windows view.\n");
    return 0;
}
