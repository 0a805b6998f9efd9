#pragma once
// A folder of the test's own under the temporary folder, removed with all it
// holds when the test ends (a crash report's full dump is large), and the
// few file operations the report tests need.
#include <string>
#include <vector>

class TestFolder {
public:
    explicit TestFolder(const std::string& name);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // With a trailing backslash.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void removeTree(const std::string& path);
std::vector<std::string> subfolders(const std::string& path);
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& text);
