#include "batch_cases.h"

bool splitBatchLine(const std::string& line, std::vector<std::string>& arguments) {
    arguments.assign(1, std::string());
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            arguments.emplace_back();
            continue;
        }
        if (c != '\\') {
            arguments.back() += c;
            continue;
        }
        if (++i == line.size())
            return false;
        switch (line[i]) {
        case '\\': arguments.back() += '\\'; break;
        case 't': arguments.back() += '\t'; break;
        case 'n': arguments.back() += '\n'; break;
        case 'r': arguments.back() += '\r'; break;
        default: return false;
        }
    }
    return true;
}

std::string batchRecord(int exitCode, const std::string& out, const std::string& err) {
    return "case " + std::to_string(exitCode) + " " + std::to_string(out.size()) + " " + std::to_string(err.size()) +
           "\n" + out + err;
}
