#include "report_paths.h"

#include <windows.h>

#include "plain_file_name.h"

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string fileNamePart(const std::string& path) {
    const size_t last = path.find_last_of("\\/:");
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string safeFolderName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        if (isForbiddenInFileName(c) || c == '.')
            c = '_';
    }
    return safe;
}

std::string withTrailingSeparator(std::string path) {
    if (!path.empty() && !isSeparator(path.back()))
        path += '\\';
    return path;
}

bool createDirectories(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && isSeparator(trimmed.back()))
        trimmed.pop_back();
    if (trimmed.empty() || isDirectory(trimmed))
        return !trimmed.empty();
    const size_t parent = trimmed.find_last_of("\\/");
    if (parent != std::string::npos && parent > 0 && trimmed[parent - 1] != ':' &&
        !createDirectories(trimmed.substr(0, parent)))
        return false;
    return CreateDirectoryA(trimmed.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
