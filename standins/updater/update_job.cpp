#include "update_job.h"

#include <windows.h>

#include <vector>

#include "installation_check.h"
#include "logging/logger.h"
#include "running_processes.h"
#include "signed_update.h"
#include "unique_handle.h"
#include "update_public_key.h"

namespace {

constexpr DWORD kHostExitTimeoutMs = 60000;
constexpr DWORD kPollIntervalMs = 200;

logging::Logger* log() { return logging::Logger::getLogger(); }

bool waitForHostToEnd(const char* who, const UpdaterRequest& request, const std::string& program) {
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

bool restartHost(const char* who, HostStarter startHost, const CheckedRequest& checked) {
    HostStart start;
    start.program = checked.host;
    start.commandLine = "\"" + checked.host + "\"";
    if (!checked.hostArguments.empty())
        start.commandLine += " " + checked.hostArguments;
    start.directory = checked.destination;
    PROCESS_INFORMATION process = {};
    if (!startHost(who, start, process)) {
        const DWORD error = GetLastError();
        log()->errorf("%s: unable to start %s (%lu)", 3, who, start.commandLine.c_str(), error);
        return false;
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle started(process.hProcess);
    log()->warnf("%s: started %s (process %lu)", 3, who, start.commandLine.c_str(), process.dwProcessId);
    return true;
}

// Nothing is written unless the whole update checks out.
bool applyUpdate(const char* who, const CheckedRequest& checked) {
    VerifiedUpdate update;
    std::string error;
    if (!readVerifiedUpdate(checked.source, kUpdatePublicKeyBlob, sizeof kUpdatePublicKeyBlob, update, error)) {
        log()->errorf("%s: update refused, nothing copied: %s", 2, who, error.c_str());
        return false;
    }
    log()->warnf("%s: signed update %s of %lu files", 3, who, update.manifest.version.c_str(),
                 static_cast<unsigned long>(update.manifest.files.size()));
    // An older update, though signed, would bring back what a newer one fixed.
    std::string installed;
    if (installedUpdateVersion(checked.destination, installed) &&
        compareManifestVersions(update.manifest.version, installed) < 0) {
        log()->errorf("%s: update refused, nothing copied: version %s is older than the installed %s", 3, who,
                      update.manifest.version.c_str(), installed.c_str());
        return false;
    }
    std::vector<std::string> written;
    const bool applied = writeVerifiedUpdate(checked.destination, update, written, error);
    for (const std::string& path : written)
        log()->warnf("%s: copied %s", 2, who, path.c_str());
    if (!applied)
        log()->errorf("%s: %s", 2, who, error.c_str());
    return applied;
}

}  // namespace

bool runUpdateJob(const char* who, HostStarter startHost, const UpdaterRequest& request) {
    log()->warnf("%s: product %s, product name \"%s\"", 3, who, request.product.c_str(),
                 request.productName.c_str());
    log()->warnf("%s: source %s, destination %s", 3, who, request.src.c_str(),
                 request.dst.c_str());
    log()->warnf("%s: command %s", 2, who, request.cmd.c_str());

    // A request that leaves its installation is not an update at all:
    // nothing is copied and nothing started.
    CheckedRequest checked;
    std::string why;
    if (!checkRequestAgainstInstallation(request, checked, why)) {
        log()->errorf("%s: request refused: %s", 2, who, why.c_str());
        return false;
    }
    if (!waitForHostToEnd(who, request, checked.host))
        return false;
    const bool updated = applyUpdate(who, checked);
    // The user gets the host back even when the update could not be applied.
    const bool restarted = restartHost(who, startHost, checked);
    log()->warnf("%s: done (%s)", 2, who, updated && restarted ? "updated" : "failed");
    return updated && restarted;
}
