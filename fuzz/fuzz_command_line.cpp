// Command lines of parameters, as a process or a reset receives them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qm::ScriptedLaunchPlatform platform = fuzz::quietPlatform();
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseCommandLine(record, text.c_str(), platform);
    fuzz::checkRecord(record);
    fuzz::require(!record.language.empty());
    return 0;
}
