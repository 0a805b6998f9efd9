// qmparams: prints what the host makes of a command line or universal URL.
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "batch_cases.h"
#include "params_report.h"

namespace {

constexpr char kBatchOption[] = "--batch";

// One inspection: its exit code, with what it prints in `out` and `err`.
int inspect(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    try {
        InspectorOptions options;
        std::string error;
        if (!readInspectorArguments(arguments, options, error)) {
            err = "qmparams: " + error + "\n" + kInspectorUsage;
            return 2;
        }
        out = inspectLaunchText(options);
        return 0;
    } catch (const std::exception& failure) {
        err = std::string("qmparams: ") + failure.what() + "\n";
        return 1;
    }
}

int runBatch() {
#ifdef _WIN32
    // The records count bytes: no line-ending translation either way.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> arguments;
        std::string out, err;
        int exitCode = 2;
        if (splitBatchLine(line, arguments))
            exitCode = inspect(arguments, out, err);
        else
            err = "qmparams: a backslash that escapes nothing in: " + line + "\n";
        const std::string record = batchRecord(exitCode, out, err);
        std::fwrite(record.data(), 1, record.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kBatchOption) == 0)
        return runBatch();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string out, err;
    const int exitCode = inspect(arguments, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputs(err.c_str(), stderr);
    return exitCode;
}
