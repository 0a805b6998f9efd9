#include "test_files.h"

#include <windows.h>

#include <sstream>

#include "unique_handle.h"

namespace {

template <typename Visit>
void forEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA found = {};
    UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find)
        return;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(find.get(), &found));
}

std::string withoutTrailingSeparator(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

void createFolders(const std::string& path) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

TemporaryFolder::TemporaryFolder(const std::string& name) {
    char temporary[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temporary, temporary);
    path_ = std::string(temporary) + "qmtest-" + name;
    removeTree(path_);
    createFolders(path_);
}

TemporaryFolder::~TemporaryFolder() {
    removeTree(path_);
}

void TemporaryFolder::writeFile(const std::string& relative, const std::string& contents) const {
    const std::string full = path_ + "\\" + relative;
    createFolders(full.substr(0, full.find_last_of('\\')));
    writeWholeFile(full, contents);
}

bool TemporaryFolder::exists(const std::string& relative) const {
    return fileExists(path_ + "\\" + relative);
}

void removeTree(const std::string& path) {
    const std::string folder = withoutTrailingSeparator(path);
    forEachEntry(folder, [&](const std::string& name, bool isFolder) {
        const std::string entry = folder + "\\" + name;
        if (isFolder)
            removeTree(entry);
        else
            DeleteFileA(entry.c_str());
    });
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> subfolders(const std::string& path) {
    std::vector<std::string> names;
    forEachEntry(withoutTrailingSeparator(path), [&](const std::string& name, bool isFolder) {
        if (isFolder)
            names.push_back(name);
    });
    return names;
}

std::string readWholeFile(const std::string& path) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (file && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

std::vector<std::string> readFileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(readWholeFile(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

void writeWholeFile(const std::string& path, const std::string& text) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
