// Universal URLs, which any web page can choose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "universal_url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size);
    const qm::ScriptedLaunchPlatform platform = fuzz::quietPlatform();
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseUniversalUrl(record, url.c_str(), platform);
    fuzz::checkRecord(record);

    std::string arguments;
    qm::universalUrlToArguments(url.c_str(), arguments);
    return 0;
}
