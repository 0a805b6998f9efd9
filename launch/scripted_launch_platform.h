#pragma once
// A platform whose answers are set in advance and which collects the warnings
// instead of showing boxes: what qmparams, the tests, the fuzzers and the
// benchmarks parse against.
#include <cstdint>
#include <string>
#include <vector>

#include "launch_platform.h"

namespace qm {

class ScriptedLaunchPlatform final : public LaunchPlatform {
public:
    std::string language = "en";           // what userLanguage answers
    std::vector<uint32_t> windows;         // handle numbers that name windows
    mutable std::vector<std::string> warnings;

    void showWarning(const std::string& text) const override;
    bool isWindow(WindowHandle handle) const override;
    std::string userLanguage() const override;
};

}  // namespace qm
