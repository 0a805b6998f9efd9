#include "test_installation.h"

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
