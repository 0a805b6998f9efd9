#pragma once
// Runs the real quorvelmeet.exe under the debugger harness with the test
// product, an installation key of the test's own and a staging folder.
#include <windows.h>

#include <future>
#include <string>
#include <utility>
#include <vector>

#include "debug_harness.h"
#include "test_installation.h"
#include "test_files.h"

// Environment variables for the test product, set for the host's run and
// removed afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> variables);
    ~ScopedEnvironment();

private:
    std::vector<std::string> names_;
};

class HostFixture {
public:
    // How long a host started on another thread may run before it is killed.
    static constexpr DWORD kStartedRunTimeoutMs = 90000;

    // `product` names the installation key and the window class; each test
    // uses a product name of its own.
    explicit HostFixture(const std::string& product);

    // "-product <product> -client testproduct <arguments>"
    std::string commandLine(const std::string& arguments, const std::string& client = "testproduct") const;
    DebugRun run(const std::string& arguments, const std::string& client = "testproduct",
                 DebugRunOptions options = {}) const;
    // Starts the host on another thread; the result comes when it has ended.
    std::future<DebugRun> start(const std::string& arguments, const std::string& client = "testproduct",
                                DWORD timeoutMs = kStartedRunTimeoutMs) const;
    std::future<DebugRun> start(const std::string& arguments, const std::string& client,
                                DebugRunOptions options) const;
    // The host's main window once it exists.
    HWND waitForWindow(DWORD timeoutMs = 60000) const;
    // The host's main window once it shows: the product runs from then on.
    HWND waitForRunningProduct(DWORD timeoutMs = 60000) const;

    TestInstallation installation;
    TemporaryFolder staging;
    std::string product;
};

// The product's own lines ("T|..."), without the prefix and the line feed.
std::vector<std::string> productLines(const DebugRun& run);
// Whether any product line starts with `prefix`.
bool productSaid(const DebugRun& run, const std::string& prefix);
size_t productSaidCount(const DebugRun& run, const std::string& prefix);
// The product lines that start with `prefix`, in order.
std::vector<std::string> productSaidLines(const DebugRun& run, const std::string& prefix);

// Posts WM_CLOSE to `window` every `everyMs` until the host has ended (a host
// refuses a close while it resets), at most `attempts` times; its run.
DebugRun closeUntilEnded(std::future<DebugRun>& running, HWND window, DWORD everyMs, int attempts = 600);

constexpr DWORD kExitFailure = static_cast<DWORD>(-1);
