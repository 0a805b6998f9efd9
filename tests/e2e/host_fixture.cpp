#include "host_fixture.h"

#include <cctype>
#include <chrono>

#include "owner_window.h"
#include "text_lines.h"

ScopedEnvironment::ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> variables) {
    for (const auto& variable : variables) {
        SetEnvironmentVariableA(variable.first, variable.second.c_str());
        names_.push_back(variable.first);
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    for (const std::string& name : names_)
        SetEnvironmentVariableA(name.c_str(), nullptr);
}

HostFixture::HostFixture(const std::string& product_)
    : installation(product_), staging(product_), product(product_) {
    std::string libraries = testBinaryDirectory();
    libraries.pop_back();  // no trailing backslash, as an installer writes it
    installation.setText("libFilePath", libraries);
    installation.setText("updateFilePath", staging.path());
}

std::string HostFixture::commandLine(const std::string& arguments, const std::string& client) const {
    return "\"" + testBinaryDirectory() + "quorvelmeet.exe\" -product " + product + " -client " + client + " " +
           arguments;
}

DebugRun HostFixture::run(const std::string& arguments, const std::string& client, DebugRunOptions options) const {
    return runUnderDebugger(commandLine(arguments, client), options);
}

std::future<DebugRun> HostFixture::start(const std::string& arguments, const std::string& client,
                                         DWORD timeoutMs) const {
    DebugRunOptions options;
    options.timeoutMs = timeoutMs;
    return start(arguments, client, options);
}

std::future<DebugRun> HostFixture::start(const std::string& arguments, const std::string& client,
                                         DebugRunOptions options) const {
    const std::string line = commandLine(arguments, client);
    return std::async(std::launch::async, [line, options] { return runUnderDebugger(line, options); });
}

HWND HostFixture::waitForWindow(DWORD timeoutMs) const {
    return waitForHostWindow(product, timeoutMs);
}

HWND HostFixture::waitForRunningProduct(DWORD timeoutMs) const {
    HWND window = waitForWindow(timeoutMs);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (window && !IsWindowVisible(window) && GetTickCount64() < deadline)
        Sleep(100);
    return window;
}

std::vector<std::string> productLines(const DebugRun& run) {
    std::vector<std::string> lines;
    for (const std::string& line : run.linesStartingWith("T|"))
        lines.push_back(line.substr(2, line.size() - 3));
    return lines;
}

bool productSaid(const DebugRun& run, const std::string& prefix) {
    return productSaidCount(run, prefix) > 0;
}

size_t productSaidCount(const DebugRun& run, const std::string& prefix) {
    return productSaidLines(run, prefix).size();
}

std::vector<std::string> productSaidLines(const DebugRun& run, const std::string& prefix) {
    return linesStartingWith(productLines(run), prefix);
}

DebugRun closeUntilEnded(std::future<DebugRun>& running, HWND window, DWORD everyMs, int attempts) {
    for (int attempt = 0;
         attempt < attempts && running.wait_for(std::chrono::milliseconds(everyMs)) != std::future_status::ready;
         ++attempt)
        PostMessageW(window, WM_CLOSE, 0, 0);
    return running.get();
}
