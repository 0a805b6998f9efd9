#pragma once
// The arguments handed to the updater: separate texts for the service, one
// parameter text for the executable. Null values count as empty.
#include <string>
#include <vector>

struct UpdaterValues {
    const char* product;
    const char* productName;
    const char* src;
    const char* dst;
    const char* cmd;
};

std::string updaterServiceName(const char* product);

// -product P -product-name N -src S -dst D -cmd 'C', as ten texts; an empty
// product name becomes "{}".
std::vector<std::string> updaterServiceArguments(const UpdaterValues& values);

// -product P -product-name "N" -src "S" -dst "D" -cmd 'C'
std::string updaterParameterText(const UpdaterValues& values);

// Why the values cannot go into the elevated updater's parameter text without
// adding or changing one of its arguments, or null when they can.
const char* unsafeParameterTextReason(const UpdaterValues& values);
