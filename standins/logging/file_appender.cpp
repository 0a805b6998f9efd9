#include "logging/file_appender.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "unique_handle.h"

namespace logging {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Creates each missing folder on the way to the file; the file's own name is
// left alone. A drive or share prefix simply fails to be created.
void createParentFolders(const char* path) {
    const std::size_t length = std::strlen(path);
    char* prefix = new (std::nothrow) char[length + 1];
    if (!prefix)
        return;
    for (std::size_t i = 1; i < length; ++i) {
        if (!isSeparator(path[i]) || isSeparator(path[i - 1]))
            continue;
        std::memcpy(prefix, path, i);
        prefix[i] = '\0';
        CreateDirectoryA(prefix, nullptr);
    }
    delete[] prefix;
}

UniqueFileHandle openForAppending(const char* path) {
    return UniqueFileHandle(CreateFileA(path, FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFileHandle openEmptied(const char* path) {
    return UniqueFileHandle(CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

FileAppender::FileAppender(const char* path, Mode mode, unsigned maxBytes, Layout* layout)
    : Appender(layout), path_(nullptr), maxBytes_(maxBytes) {
    if (!path)
        return;
    const std::size_t length = std::strlen(path);
    path_ = new (std::nothrow) char[length + 1];
    if (!path_)
        return;
    std::memcpy(path_, path, length + 1);
    createParentFolders(path_);
    if (mode == Truncate)
        openEmptied(path_);
}

FileAppender::~FileAppender() {
    delete[] path_;
}

void FileAppender::write(const char* line, std::size_t length) {
    if (!path_)
        return;
    UniqueFileHandle file = openForAppending(path_);
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
        // The folder went away since the appender was made.
        createParentFolders(path_);
        file = openForAppending(path_);
    }
    if (!file)
        return;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) &&
        static_cast<unsigned long long>(size.QuadPart) + length > maxBytes_) {
        file.reset();
        file = openEmptied(path_);
        if (!file)
            return;
    }
    DWORD written = 0;
    WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace logging
