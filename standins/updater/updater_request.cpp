#include "updater_request.h"

#include <cstdlib>

#include "updater_names.h"

namespace {

constexpr char kBlanks[] = " \t\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string::size_type skipBlanks(const std::string& text, std::string::size_type at) {
    const std::string::size_type next = text.find_first_not_of(kBlanks, at);
    return next == std::string::npos ? text.size() : next;
}

// Reads a quoted or a plain value at `at`; false for an unclosed quote.
bool readValue(const std::string& text, std::string::size_type& at, std::string& value) {
    if (at < text.size() && text[at] == '"') {
        const std::string::size_type close = text.find('"', at + 1);
        if (close == std::string::npos)
            return false;
        value = text.substr(at + 1, close - at - 1);
        at = close + 1;
        return true;
    }
    std::string::size_type end = at;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    value = text.substr(at, end - at);
    at = end;
    return true;
}

bool readProcessId(const std::string& value, unsigned long& processId) {
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    processId = std::strtoul(value.c_str(), nullptr, 10);
    return processId != 0;
}

// Stores one option's value; false for an option the updater does not know.
bool storeOption(const std::string& option, const std::string& value, UpdaterRequest& request,
                 std::string& error) {
    if (option == "-product") {
        request.product = value;
    } else if (option == "-product-name") {
        request.productName = value;
    } else if (option == "-src") {
        request.src = value;
    } else if (option == "-dst") {
        request.dst = value;
    } else if (option == "-pid") {
        if (!readProcessId(value, request.hostProcessId)) {
            error = "bad process id " + value;
            return false;
        }
    } else {
        error = "unknown option " + option;
        return false;
    }
    return true;
}

bool complete(const UpdaterRequest& request, bool sawCommand, std::string& error) {
    if (!sawCommand)
        error = "no -cmd";
    else if (request.product.empty())
        error = "no -product";
    else if (request.src.empty() || request.dst.empty())
        error = "no -src or -dst";
    else
        return true;
    return false;
}

}  // namespace

bool parseUpdaterParameterText(const std::string& text, UpdaterRequest& request,
                               std::string& error) {
    request = UpdaterRequest();
    std::string::size_type at = skipBlanks(text, 0);
    while (at < text.size()) {
        std::string option;
        readValue(text, at, option);
        at = skipBlanks(text, at);
        if (option == "-cmd") {
            const std::string::size_type last = text.rfind('\'');
            if (at >= text.size() || text[at] != '\'' || last == at) {
                error = "-cmd is not between apostrophes";
                return false;
            }
            request.cmd = text.substr(at + 1, last - at - 1);
            return complete(request, true, error);
        }
        std::string value;
        if (!readValue(text, at, value)) {
            error = "unclosed quote after " + option;
            return false;
        }
        if (!storeOption(option, value, request, error))
            return false;
        at = skipBlanks(text, at);
    }
    return complete(request, false, error);
}

bool parseUpdaterServiceArguments(const std::vector<std::string>& arguments,
                                  UpdaterRequest& request, std::string& error) {
    request = UpdaterRequest();
    bool sawCommand = false;
    for (std::size_t i = 0; i + 1 < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        const std::string& value = arguments[i + 1];
        if (option == "-cmd") {
            if (value.size() < 2 || value.front() != '\'' || value.back() != '\'') {
                error = "-cmd is not between apostrophes";
                return false;
            }
            request.cmd = value.substr(1, value.size() - 2);
            sawCommand = true;
        } else if (!storeOption(option, value, request, error)) {
            return false;
        }
    }
    if (arguments.size() % 2 != 0) {
        error = "option without a value: " + arguments.back();
        return false;
    }
    if (request.productName == kEmptyProductNameArgument)
        request.productName.clear();
    return complete(request, sawCommand, error);
}

std::string programOfCommandLine(const std::string& commandLine) {
    std::string::size_type at = skipBlanks(commandLine, 0);
    std::string program;
    readValue(commandLine, at, program);
    return program;
}

std::string parametersOfCommandLine(const std::string& commandLine) {
    std::string::size_type at = skipBlanks(commandLine, 0);
    std::string program;
    if (!readValue(commandLine, at, program))
        return std::string();
    return commandLine.substr(skipBlanks(commandLine, at));
}
