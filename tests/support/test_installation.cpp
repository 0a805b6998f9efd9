#include "test_installation.h"

#include <shellapi.h>

#include <cstdio>

namespace {

void removeTree(const std::string& path) {
    std::string list = path;
    list.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

void createFolders(const std::string& path) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

TestInstallation::TestInstallation(const std::string& product, const std::string& state)
    : keyPath_("SOFTWARE\\Quorvel\\" + product + "\\" + state) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath_.c_str());
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
}

TestInstallation::~TestInstallation() {
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath_.c_str());
}

void TestInstallation::setText(const char* name, const std::string& value) {
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void TestInstallation::setBinaryByte(const char* name, BYTE value) {
    RegSetValueExA(key_, name, 0, REG_BINARY, &value, 1);
}

void TestInstallation::setDword(const char* name, DWORD value) {
    RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

TemporaryFolder::TemporaryFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "qmtest-" + name;
    removeTree(path_);
    createFolders(path_);
}

TemporaryFolder::~TemporaryFolder() {
    removeTree(path_);
}

void TemporaryFolder::writeFile(const std::string& relative, const std::string& contents) const {
    const std::string full = path_ + "\\" + relative;
    createFolders(full.substr(0, full.find_last_of('\\')));
    if (FILE* file = std::fopen(full.c_str(), "wb")) {
        std::fwrite(contents.data(), 1, contents.size(), file);
        std::fclose(file);
    }
}

bool TemporaryFolder::exists(const std::string& relative) const {
    return GetFileAttributesA((path_ + "\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}
