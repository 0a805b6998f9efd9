// Universal URLs, which any web page can choose.
#include "fuzz_support.h"
#include "universal_url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url = fuzz::inputText(data, size);
    fuzz::checkedParse(url, qm::parseUniversalUrl);
    std::string arguments;
    qm::universalUrlToArguments(url.c_str(), arguments);
    return 0;
}
