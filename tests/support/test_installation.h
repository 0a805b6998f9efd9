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

// A fresh folder under the temporary folder, removed with its contents.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& name);
    ~TemporaryFolder();
    const std::string& path() const { return path_; }
    // Creates `relative` (folders on the way included) holding `contents`.
    void writeFile(const std::string& relative, const std::string& contents) const;
    bool exists(const std::string& relative) const;

private:
    std::string path_;
};
