#pragma once
// qmparams --batch: a whole table of cases through one process, for callers
// to whom each process start is expensive (a Windows build under Wine).
//
// Standard input holds one case a line: the case's arguments (what would
// follow the program's name) separated by tabs, a backslash escaping a
// backslash (\\), tab (\t), line feed (\n) or carriage return (\r) inside an
// argument. For each case, standard output gets the header
// "case EXIT OUT ERR\n" (the exit code the single run would give, and the
// byte counts of its output and error texts), then those bytes.
#include <string>
#include <vector>

// False when the line holds a backslash that escapes nothing of the above.
bool splitBatchLine(const std::string& line, std::vector<std::string>& arguments);

std::string batchRecord(int exitCode, const std::string& out, const std::string& err);
