#pragma once
// What qmparams does: parses a text as the host does, starting from the
// application's new record, and writes every field, the extras, the warnings
// and the description as one JSON object.
#include <cstdint>
#include <string>
#include <vector>

struct InspectorOptions {
    std::string language = "en";   // the user's language the parse sees
    std::vector<uint32_t> windows;  // handle numbers that name windows
    bool reset = false;             // parse `before` first, then reset with `text`
    std::string before;
    std::string text;
};

// Reads "[--lang LL] [--windows H1,H2,...] [--after TEXT0] -- TEXT" (the
// arguments after the program's name); false with `error` set when they do
// not read.
bool readInspectorArguments(const std::vector<std::string>& arguments, InspectorOptions& options,
                            std::string& error);

std::string inspectLaunchText(const InspectorOptions& options);

extern const char kInspectorUsage[];
