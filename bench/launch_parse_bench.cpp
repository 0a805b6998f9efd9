// Parse costs of launch parameters. The cost of distinct parameters must grow
// about linearly with their number: compare the 1,000 and 10,000 figures
// (and the fitted complexity that the run prints).
#include <benchmark/benchmark.h>

#include <string>

#include "command_line.h"
#include "launch_record.h"
#include "scripted_launch_platform.h"

namespace {

const char kTypicalCommandLine[] =
    "-product quorvelmeet -state production -client QUORVELMEET -language es -scene 12 -visitMode 2 "
    "-positionTool poi,7,1.5,2,3,0,90,0,1,1,1 -owner 4660 -title \"Quorvel Meet showroom\" "
    "-token 0123456789abcdef0123456789abcdef -log_flags we -cache_path C:\\cache";

const char kTypicalUniversalUrl[] =
    "quorvelmeet://meet.example/launch/QUORVELMEET/12/es?visitMode=2&positionTool=poi,7,1.5,2,3"
    "&title=%22Quorvel%20Meet%20showroom%22&token=0123456789abcdef0123456789abcdef&log_flags=we";

void parseOnce(benchmark::State& state, const char* text) {
    qm::ScriptedLaunchPlatform platform;
    platform.windows = {4660};
    for (auto _ : state) {
        qm::LaunchParameters record = qm::defaultLaunchParameters();
        qm::parseLaunchText(record, text, platform);
        benchmark::DoNotOptimize(record.extras.data());
    }
}

void BM_ParseTypicalCommandLine(benchmark::State& state) {
    parseOnce(state, kTypicalCommandLine);
}
BENCHMARK(BM_ParseTypicalCommandLine);

void BM_ParseTypicalUniversalUrl(benchmark::State& state) {
    parseOnce(state, kTypicalUniversalUrl);
}
BENCHMARK(BM_ParseTypicalUniversalUrl);

// "-k0 v0 -k1 v1 ..." or "x://launch?k0=v0&k1=v1...": n distinct keys.
std::string distinctParameters(int count, bool asUrl) {
    std::string text = asUrl ? "x://launch?" : "";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        if (asUrl)
            text += (i ? "&k" : "k") + n + "=v" + n;
        else
            text += (i ? " -k" : "-k") + n + " v" + n;
    }
    return text;
}

void parseDistinct(benchmark::State& state, bool asUrl) {
    const std::string text = distinctParameters(static_cast<int>(state.range(0)), asUrl);
    parseOnce(state, text.c_str());
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CommandLineDistinctParameters(benchmark::State& state) {
    parseDistinct(state, false);
}
BENCHMARK(BM_CommandLineDistinctParameters)->Arg(1000)->Arg(10000)->Complexity();

void BM_UniversalUrlDistinctParameters(benchmark::State& state) {
    parseDistinct(state, true);
}
BENCHMARK(BM_UniversalUrlDistinctParameters)->Arg(1000)->Arg(10000)->Complexity();

// A reset of a record that holds n parameters, every one given again.
void BM_ResetDistinctParameters(benchmark::State& state) {
    const std::string text = distinctParameters(static_cast<int>(state.range(0)), false);
    qm::ScriptedLaunchPlatform platform;
    qm::LaunchParameters current = qm::defaultLaunchParameters();
    qm::parseLaunchText(current, text.c_str(), platform);
    for (auto _ : state) {
        qm::LaunchParameters next = qm::carryOver(current);
        qm::parseLaunchText(next, text.c_str(), platform);
        benchmark::DoNotOptimize(next.extras.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ResetDistinctParameters)->Arg(1000)->Arg(10000)->Complexity();

}  // namespace
