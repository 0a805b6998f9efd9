#pragma once
// The system's minidump writer, loaded when the reporter is installed so that
// a crashed process does not have to load a library.
#include <windows.h>

#include <memory>
#include <string>

#include "crash_event.h"
#include "unique_handle.h"

class MinidumpWriter {
public:
    // `libraryPath` empty: the debug-help library of the system directory.
    // Null with `error` set when it cannot be loaded.
    static std::unique_ptr<MinidumpWriter> load(const std::string& libraryPath, std::string& error);

    bool write(HANDLE file, DWORD minidumpType, const CrashEvent& event) const;

private:
    using WriteFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, DWORD, void*, void*, void*);

    MinidumpWriter(UniqueModule library, WriteFunction function)
        : library_(std::move(library)), function_(function) {}

    UniqueModule library_;
    WriteFunction function_;
};
