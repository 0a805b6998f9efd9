#include "minidump_writer.h"

#include <dbghelp.h>

std::unique_ptr<MinidumpWriter> MinidumpWriter::load(const std::string& libraryPath, std::string& error) {
    std::string path = libraryPath;
    if (path.empty()) {
        char system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            error = "Unable to find the system directory.";
            return nullptr;
        }
        path = std::string(system) + "\\dbghelp.dll";
    }
    UniqueModule library(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) {
        error = "Unable to load the minidump writer " + path + ".";
        return nullptr;
    }
    const auto function = reinterpret_cast<WriteFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "MiniDumpWriteDump")));
    if (!function) {
        error = path + " has no MiniDumpWriteDump.";
        return nullptr;
    }
    return std::unique_ptr<MinidumpWriter>(new MinidumpWriter(std::move(library), function));
}

bool MinidumpWriter::write(HANDLE file, DWORD minidumpType, const CrashEvent& event) const {
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = event.threadId;
    exception.ExceptionPointers = event.exception;
    exception.ClientPointers = FALSE;
    return function_(GetCurrentProcess(), GetCurrentProcessId(), file, minidumpType,
                     event.exception ? &exception : nullptr, nullptr, nullptr) != FALSE;
}
