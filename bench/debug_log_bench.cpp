// A log call that the mask filters out must cost one bit test; a written line
// costs its formatting. The sink is a no-op so that only debugLog is timed.
#include <benchmark/benchmark.h>

#include "debug_log.h"

namespace {

void discardLine(const char* line) {
    benchmark::DoNotOptimize(line);
}

// Sets the mask and the no-op sink for one benchmark, and restores both.
class LogSetting {
public:
    explicit LogSetting(uint32_t mask) : previousMask_(logMask()), previousSink_(setLogSink(&discardLine)) {
        setLogMask(mask);
    }
    ~LogSetting() {
        setLogMask(previousMask_);
        setLogSink(previousSink_);
    }

private:
    uint32_t previousMask_;
    LogSink previousSink_;
};

const char kText[] = "-product quorvelmeet -scene 12 -language es";

void BM_FilteredCall(benchmark::State& state) {
    LogSetting setting(kDefaultLogMask);
    for (auto _ : state)
        debugLog(kLogDebug, "CommandLine:%s", kText);
}
BENCHMARK(BM_FilteredCall);

void BM_WrittenLine(benchmark::State& state) {
    LogSetting setting(kDefaultLogMask);
    for (auto _ : state)
        debugLog(kLogWarning, "CommandLine:%s", kText);
}
BENCHMARK(BM_WrittenLine);

}  // namespace
