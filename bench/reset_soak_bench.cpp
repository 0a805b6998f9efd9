// Resets in a row with the test product: the latency of each, from the
// product's reset request to its next qmStart, against a floor program that
// does only what a reset must (qmStop, release, load again, qmInit, qmStart)
// in the same run; and the host's handles, GDI and USER objects and private
// memory before the first reset and after the last. Prints figures, asserts
// nothing.
//
//   reset_soak_bench.exe [--resets N]     (default 100)
//
// The test product drives the chain itself: at each start it asks the host's
// loop delegate to reset to the next scene, until the last, where it quits.
// The installation runs the update check, which the test product answers at
// once, so each reset loads the libraries twice, as at a normal start; the
// floor loads them twice a reset as well.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
constexpr int kLoadsPerReset = 2;  // the update check's and the start's
constexpr char kChainRequestLine[] = "T|delegate chain=";  // written just before the product asks for the reset
// The test product's own look at its process: the lowest free handle slot
// (where the handle count is not to be had) and the thread count.
constexpr char kResourcesLine[] = "T|resources ";

// The process's own counts; 0 where the system gives none.
struct ObjectCounts {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

ObjectCounts objectCountsOf(HANDLE process) {
    ObjectCounts counts;
    if (!GetProcessHandleCount(process, &counts.handles))
        counts.handles = 0;
    counts.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    counts.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    return counts;
}

struct ProductStart {
    double seconds;
    PrivateMemory memory;
    ObjectCounts objects;
};

struct ChainTimeline {
    std::vector<ProductStart> starts;
    std::vector<double> requests;
    std::vector<std::string> resources;  // the product's resources lines, one a start
};

DebugRunOptions chainOptions(ChainTimeline& timeline, int resets) {
    DebugRunOptions options;
    options.timeoutMs = kTimeoutPerResetMs * static_cast<DWORD>(resets + 1);
    options.onLine = [&timeline](const ArrivingLine& line) {
        if (lineStartsWith(line.text, kProductStartedLine))
            timeline.starts.push_back({line.seconds, privateMemoryOf(line.process), objectCountsOf(line.process)});
        else if (lineStartsWith(line.text, kChainRequestLine))
            timeline.requests.push_back(line.seconds);
        else if (lineStartsWith(line.text, kResourcesLine))
            timeline.resources.push_back(line.text.substr(sizeof kResourcesLine - 1));
    };
    return options;
}

// False, with the reason on the error output, when the chain did not run to
// its end: each start but the last asks for a reset; the last quits.
bool chainCompleted(const char* who, const DebugRun& run, const ChainTimeline& timeline, int resets) {
    const size_t expectedStarts = static_cast<size_t>(resets) + 1;
    if (!run.timedOut && run.exitCode == 0 && timeline.starts.size() == expectedStarts &&
        timeline.requests.size() == expectedStarts)
        return true;
    std::fprintf(stderr, "the %s's chain did not complete: exit code %ld%s, %zu starts and %zu requests of %zu\n", who,
                 static_cast<long>(run.exitCode), run.timedOut ? " (timed out)" : "", timeline.starts.size(),
                 timeline.requests.size(), expectedStarts);
    return false;
}

// From each reset request to the product's next start.
RunFigures latencies(const ChainTimeline& timeline) {
    std::vector<double> seconds;
    for (size_t i = 0; i + 1 < timeline.starts.size(); ++i)
        seconds.push_back(timeline.starts[i + 1].seconds - timeline.requests[i]);
    return figuresOf(seconds);
}

double megabytes(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void printMemory(const char* when, const PrivateMemory& memory) {
    std::printf("  %-26s PrivateUsage %7.2f MB  PagefileUsage %7.2f MB  committed private regions %7.2f MB\n",
                when, megabytes(memory.privateUsage), megabytes(memory.pagefileUsage),
                megabytes(memory.committedPrivate));
}

std::string trimmed(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// A count the system gave, or a note that it gave none.
std::string countText(DWORD before, DWORD after) {
    if (before == 0 && after == 0)
        return "none reported by this system (Wine answers 0)";
    return std::to_string(before) + " -> " + std::to_string(after) + " (" +
           (after >= before ? "+" : "-") + std::to_string(after >= before ? after - before : before - after) + ")";
}

void printObjectCounts(const ChainTimeline& timeline) {
    const ObjectCounts& before = timeline.starts.front().objects;
    const ObjectCounts& after = timeline.starts.back().objects;
    std::printf("  host's objects, before the first reset -> after the last:\n");
    std::printf("    handles (GetProcessHandleCount)       %s\n", countText(before.handles, after.handles).c_str());
    std::printf("    GDI objects (GetGuiResources)         %s\n",
                countText(before.gdiObjects, after.gdiObjects).c_str());
    std::printf("    USER objects (GetGuiResources)        %s\n",
                countText(before.userObjects, after.userObjects).c_str());
}

// The test product's own look at its process, at the first start and the
// last: where the system gives no handle count, the lowest free handle slot
// still rises as handles pile up below it.
void printProductLook(const char* who, const ChainTimeline& timeline) {
    if (timeline.resources.empty())
        return;
    std::printf("  the product's look in the %s (lowest free handle slot, threads): %s -> %s\n", who,
                trimmed(timeline.resources.front()).c_str(), trimmed(timeline.resources.back()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int resets = std::min(countOption(argc, argv, "--resets", kDefaultResets), kMostResets);
    const ScopedUnmanagedWindows unmanaged({"quorvelmeet.exe", "reset_floor.exe"});
    HostFixture host("benchresetsoak");
    ScopedEnvironment product({{"QMTP_ON_START", "chain=" + std::to_string(resets)}});

    ChainTimeline hostTimeline;
    const DebugRun hostRun = host.run("-scene 0", kTestProductClient, chainOptions(hostTimeline, resets));
    if (!chainCompleted("host", hostRun, hostTimeline, resets))
        return 1;
    ChainTimeline floorTimeline;
    const DebugRun floorRun = runUnderDebugger("\"" + testBinaryDirectory() + "reset_floor.exe\" --loads " +
                                                   std::to_string(kLoadsPerReset),
                                               chainOptions(floorTimeline, resets));
    if (!chainCompleted("floor", floorRun, floorTimeline, resets))
        return 1;
    const RunFigures hostFigures = latencies(hostTimeline);
    const RunFigures floorFigures = latencies(floorTimeline);
    std::printf("%d resets in a row with the test product (update check answered at once), under the debugger "
                "harness, windows unmanaged, %.0f s in all\n", resets,
                hostTimeline.starts.back().seconds - hostTimeline.starts.front().seconds);
    std::printf("  reset request to the next qmStart: median %.3f s, worst %.3f s (best %.3f s)\n",
                hostFigures.median, hostFigures.highest, hostFigures.lowest);
    std::printf("  floor (qmStop, release, %d loads, qmInit, qmStart): median %.3f s, worst %.3f s (best %.3f s)\n",
                kLoadsPerReset, floorFigures.median, floorFigures.highest, floorFigures.lowest);
    std::printf("  host / floor, from the medians: %.2f\n", hostFigures.median / floorFigures.median);
    printObjectCounts(hostTimeline);
    printProductLook("host", hostTimeline);
    printProductLook("floor", floorTimeline);
    printMemory("before the first reset:", hostTimeline.starts.front().memory);
    printMemory("after the first reset:", hostTimeline.starts[1].memory);
    printMemory("after the last reset:", hostTimeline.starts.back().memory);
    if (hostTimeline.starts.front().memory.privateUsage == 0)
        std::printf("  PrivateUsage reads 0 here (Wine leaves it unset). PagefileUsage, the same commit charge on "
                    "Windows, is under Wine the hosting Linux process's anonymous memory, the emulator's code cache "
                    "included; the committed private regions are the Windows view.\n");
    return 0;
}
