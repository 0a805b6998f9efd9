#pragma once
// A parse against a scripted platform (user language "es", handle 4660 a
// window) with every log level enabled and its lines captured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch_fields.h"
#include "launch_record.h"
#include "log_capture.h"
#include "scripted_launch_platform.h"

namespace launch_test {

using Warnings = std::vector<std::string>;

class LaunchParse : public testing::Test {
protected:
    void SetUp() override {
        platform.language = "es";
        platform.windows = {4660};
    }

    // A fresh application record, as it stands after a parse that set
    // nothing: only the language comes from the locale.
    qm::LaunchParameters untouched() const {
        qm::LaunchParameters record = qm::defaultLaunchParameters();
        record.language = "es";
        return record;
    }

    qm::ScriptedLaunchPlatform platform;
    LogCapture log;
};

}  // namespace launch_test
