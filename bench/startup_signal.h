#pragma once
// The debugger-output line that marks a started product: the test product
// writes it first thing in its qmStart, the floor program once it has got as
// far. The benchmarks time up to its arrival at the debugger, which costs the
// programs nothing they would not spend anyway.
#include <cstring>
#include <string>

constexpr const char kProductStartedLine[] = "T|qmStart";

// The test product's library, as `-client testproduct` names it.
constexpr const char kTestProductClient[] = "testproduct";

inline bool lineStartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}
