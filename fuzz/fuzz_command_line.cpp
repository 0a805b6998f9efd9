// Command lines of parameters, as a process or a reset receives them.
#include "command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qm::LaunchParameters record = fuzz::checkedParse(fuzz::inputText(data, size), qm::parseCommandLine);
    fuzz::require(!record.language.empty());
    return 0;
}
