#pragma once
// Files and folders of the tests: a folder of the test's own under the
// temporary folder, and whole files read and written.
#include <string>
#include <vector>

// A fresh folder under the temporary folder ("qmtest-" and the name),
// removed with everything in it when the test ends (a crash report's full
// dump is large).
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& name);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // Without a trailing backslash.
    const std::string& path() const { return path_; }
    // Creates `relative` (folders on the way included) holding `contents`.
    void writeFile(const std::string& relative, const std::string& contents) const;
    bool exists(const std::string& relative) const;

private:
    std::string path_;
};

// Removes a folder with everything in it; nothing when there is none.
void removeTree(const std::string& path);
// The names of the folders directly inside `path`.
std::vector<std::string> subfolders(const std::string& path);

// The file's bytes; empty when it cannot be read.
std::string readWholeFile(const std::string& path);
// The file's lines, without their line feeds.
std::vector<std::string> readFileLines(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& text);
// Files and folders alike.
bool fileExists(const std::string& path);
