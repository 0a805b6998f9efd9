#pragma once
// Finding the processes that run a given program, the caller's children or
// not.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "unique_handle.h"

// `path` made absolute and tidied ("." and ".." resolved); unchanged when
// that fails.
inline std::string fullPathOf(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full);
}

// The full path of the program a process runs; empty when it cannot be read.
inline std::string processImagePath(HANDLE process) {
    char image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return QueryFullProcessImageNameA(process, 0, image, &size) ? fullPathOf(image) : std::string();
}

// The processes other than this one whose program is `program` (a full
// path, letter case ignored), opened with `access`.
inline std::vector<UniqueKernelHandle> processesRunning(const std::string& program, DWORD access) {
    std::vector<UniqueKernelHandle> found;
    UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
        snapshot.release();
        return found;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId())
            continue;
        UniqueKernelHandle process(
            OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (process && lstrcmpiA(processImagePath(process.get()).c_str(), program.c_str()) == 0)
            found.push_back(std::move(process));
    }
    return found;
}
