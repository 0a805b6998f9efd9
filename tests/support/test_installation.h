#pragma once
// The registry configuration of an installation, written for one test under
// a product name of its own and removed again afterwards.
#include <windows.h>

#include <string>

class TestInstallation {
public:
    explicit TestInstallation(const std::string& product, const std::string& state = "production");
    ~TestInstallation();
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    void setText(const char* name, const std::string& value);
    void setBinaryByte(const char* name, BYTE value);
    void setDword(const char* name, DWORD value);

    const std::string& keyPath() const { return keyPath_; }

private:
    std::string keyPath_;
    HKEY key_ = nullptr;
};
