// qmparams: prints what the host makes of a command line or universal URL.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "params_report.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        InspectorOptions options;
        std::string error;
        if (!readInspectorArguments(arguments, options, error)) {
            std::fprintf(stderr, "qmparams: %s\n%s", error.c_str(), kInspectorUsage);
            return 2;
        }
        const std::string json = inspectLaunchText(options);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "qmparams: %s\n", failure.what());
        return 1;
    }
}
