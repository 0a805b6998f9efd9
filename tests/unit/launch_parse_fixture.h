#pragma once
// A parse against a scripted platform (user language "es", handle 4660 a
// window) with every log level enabled and its lines captured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_log.h"
#include "launch_fields.h"
#include "launch_record.h"
#include "scripted_launch_platform.h"

namespace launch_test {

using Warnings = std::vector<std::string>;

inline std::vector<std::string>& logLines() {
    static std::vector<std::string> lines;
    return lines;
}

class LaunchParse : public testing::Test {
protected:
    void SetUp() override {
        platform.language = "es";
        platform.windows = {4660};
        logLines().clear();
        previousSink = setLogSink(&captureLine);
        previousMask = logMask();
        setLogMask(kLogDebug | kLogInfo | kLogWarning | kLogError);
    }
    void TearDown() override {
        setLogSink(previousSink);
        setLogMask(previousMask);
    }

    // A fresh application record, as it stands after a parse that set
    // nothing: only the language comes from the locale.
    qm::LaunchParameters untouched() const {
        qm::LaunchParameters record = qm::defaultLaunchParameters();
        record.language = "es";
        return record;
    }

    qm::ScriptedLaunchPlatform platform;

private:
    static void captureLine(const char* line) { logLines().emplace_back(line); }
    LogSink previousSink = nullptr;
    uint32_t previousMask = 0;
};

}  // namespace launch_test
