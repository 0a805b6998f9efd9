// A reset: the input is the start-up text, a byte 0, and the reset text.
#include "command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzz::inputText(data, size);
    const size_t split = input.find('\0');
    const std::string startUp = input.substr(0, split);
    const std::string resetText = split == std::string::npos ? std::string() : input.substr(split + 1);

    const qm::ScriptedLaunchPlatform platform = fuzz::quietPlatform();
    qm::LaunchParameters current = qm::defaultLaunchParameters();
    qm::parseLaunchText(current, startUp.c_str(), platform);
    qm::LaunchParameters next = qm::carryOver(current);
    fuzz::require(next.language == current.language && next.owner == current.owner);
    qm::parseLaunchText(next, resetText.c_str(), platform);
    fuzz::checkRecord(current);
    fuzz::checkRecord(next);

    std::string description = "current:";
    qm::describe(current, description);
    description += " new:";
    qm::describe(next, description);
    return 0;
}
