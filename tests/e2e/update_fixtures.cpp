#include "update_fixtures.h"

#include <windows.h>

#include "debug_harness.h"
#include "unique_handle.h"

namespace {

// `folder` and the folders on the way to it.
void createFolders(const std::string& folder) {
    for (size_t slash = folder.find('\\', 3); slash != std::string::npos; slash = folder.find('\\', slash + 1))
        CreateDirectoryA(folder.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

std::string updateFixture(const char* name) {
    return testBinaryDirectory() + "..\\update-fixtures\\" + name;
}

bool stageUpdateFixture(const char* name, const std::string& folder) {
    createFolders(folder);
    const std::string from = updateFixture(name);
    WIN32_FIND_DATAA found = {};
    UniqueFindHandle search(FindFirstFileA((from + "\\*").c_str(), &found));
    if (!search)
        return false;
    bool copied = true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copied = CopyFileA((from + "\\" + found.cFileName).c_str(), (folder + "\\" + found.cFileName).c_str(),
                               FALSE) &&
                     copied;
    } while (FindNextFileA(search.get(), &found));
    return copied;
}

bool installBuiltFiles(const std::string& folder, std::initializer_list<const char*> files, const char* firstAs) {
    createFolders(folder);
    bool copied = true;
    bool first = true;
    for (const char* file : files) {
        const std::string target = folder + "\\" + (first && *firstAs ? firstAs : file);
        copied = CopyFileA((testBinaryDirectory() + file).c_str(), target.c_str(), FALSE) && copied;
        first = false;
    }
    return copied;
}
