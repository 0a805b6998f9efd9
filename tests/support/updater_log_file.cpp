#include "updater_log_file.h"

#include <windows.h>
#include <shlobj.h>

#include <sstream>

#include "test_files.h"
#include "updater_paths.h"

namespace {
constexpr int kLeadingFields = 5;  // date, time, process, thread, level
}

std::vector<UpdaterLogEntry> readUpdaterLog(const std::string& path) {
    std::vector<UpdaterLogEntry> entries;
    std::istringstream lines(readWholeFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        std::string::size_type at = 0;
        std::string::size_type levelStart = 0;
        int bars = 0;
        for (; bars < kLeadingFields && at != std::string::npos; ++bars) {
            levelStart = at;
            at = line.find('|', at);
            if (at != std::string::npos)
                ++at;
        }
        if (at == std::string::npos)
            entries.push_back({"?", line});
        else
            entries.push_back({line.substr(levelStart, at - 1 - levelStart), line.substr(at)});
    }
    return entries;
}

std::string commonAppDataFolder() {
    char folder[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE);
    return folder;
}

std::string productUpdaterLogPath(const std::string& product) {
    return updaterLogPath(commonAppDataFolder(), product.c_str());
}

void removeProductLogFolder(const std::string& product) {
    const std::string path = productUpdaterLogPath(product);
    if (path.empty())
        return;
    DeleteFileA(path.c_str());
    RemoveDirectoryA(directoryOfPath(path).c_str());
}

std::string temporaryUpdaterCopy() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return fileInDirectory(temp, "qmUpdater.exe");
}
