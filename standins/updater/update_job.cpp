#include "update_job.h"

#include <windows.h>

#include <vector>

#include "host_launch.h"
#include "logging/logger.h"
#include "running_processes.h"
#include "unique_handle.h"
#include "updater_paths.h"

namespace {

constexpr DWORD kHostExitTimeoutMs = 60000;
constexpr DWORD kPollIntervalMs = 200;

logging::Logger* log() { return logging::Logger::getLogger(); }

bool waitForHostToEnd(const char* who, const UpdaterRequest& request) {
    if (request.hostProcessId) {
        UniqueKernelHandle host(OpenProcess(SYNCHRONIZE, FALSE, request.hostProcessId));
        if (host)
            log()->warnf("%s: waiting for process %lu to end", 2, who, request.hostProcessId);
        if (host && WaitForSingleObject(host.get(), kHostExitTimeoutMs) == WAIT_TIMEOUT) {
            log()->errorf("%s: host process %lu did not end", 2, who, request.hostProcessId);
            return false;
        }
        return true;
    }
    const std::string program = fullPathOf(programOfCommandLine(request.cmd));
    const DWORD start = GetTickCount();
    for (bool told = false;; told = true) {
        const std::vector<UniqueKernelHandle> running = processesRunning(program, SYNCHRONIZE);
        if (running.empty())
            return true;
        if (GetTickCount() - start >= kHostExitTimeoutMs) {
            log()->errorf("%s: %s did not end", 2, who, program.c_str());
            return false;
        }
        if (!told)
            log()->warnf("%s: waiting for %s to end", 2, who, program.c_str());
        for (const UniqueKernelHandle& process : running)
            WaitForSingleObject(process.get(), kPollIntervalMs);
    }
}

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies every file below `from` into the same place below `to`; true when
// nothing failed.
bool copyTree(const char* who, const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found = {};
    UniqueFindHandle search(FindFirstFileA(fileInDirectory(from, "*").c_str(), &found));
    if (!search)
        return true;
    bool copied = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string source = fileInDirectory(from, name.c_str());
        const std::string target = fileInDirectory(to, name.c_str());
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            copied = copyTree(who, source, target) && copied;
        } else if (CopyFileA(source.c_str(), target.c_str(), FALSE)) {
            log()->warnf("%s: copied %s", 2, who, target.c_str());
        } else {
            const DWORD error = GetLastError();
            log()->errorf("%s: unable to copy %s (%lu)", 3, who, source.c_str(), error);
            copied = false;
        }
    } while (FindNextFileA(search.get(), &found));
    return copied;
}

bool restartHost(const char* who, HostSession session, const std::string& command) {
    const std::string program = programOfCommandLine(command);
    const std::string directory = directoryOfPath(fullPathOf(program));
    PROCESS_INFORMATION process = {};
    if (!startHost(session, command, directory, process)) {
        const DWORD error = GetLastError();
        log()->errorf("%s: unable to start %s (%lu)", 3, who, command.c_str(), error);
        return false;
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle started(process.hProcess);
    log()->warnf("%s: started %s (process %lu)", 3, who, command.c_str(), process.dwProcessId);
    return true;
}

}  // namespace

bool runUpdateJob(const char* who, HostSession session, const UpdaterRequest& request) {
    log()->warnf("%s: product %s, product name \"%s\"", 3, who, request.product.c_str(),
                 request.productName.c_str());
    log()->warnf("%s: source %s, destination %s", 3, who, request.src.c_str(),
                 request.dst.c_str());
    log()->warnf("%s: command %s", 2, who, request.cmd.c_str());

    // Not an update at all: nothing is copied and nothing started.
    if (!isDirectory(request.src) || !isDirectory(request.dst)) {
        log()->errorf("%s: source or destination is not a folder", 1, who);
        return false;
    }
    if (!waitForHostToEnd(who, request))
        return false;
    const bool updated = copyTree(who, request.src, request.dst);
    // The user gets the host back even when the update could not be applied.
    const bool restarted = restartHost(who, session, request.cmd);
    log()->warnf("%s: done (%s)", 2, who, updated && restarted ? "updated" : "failed");
    return updated && restarted;
}
