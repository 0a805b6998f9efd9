#pragma once
// What an installed reporter puts into each report.
#include <windows.h>

#include <string>
#include <vector>

struct AttachedFile {
    std::string path;
    std::string name;  // inside the report; a plain file name
    std::string description;
    bool copy = false;
};

struct ReportSettings {
    std::string applicationName;
    std::string applicationVersion;
    std::string reportRoot;  // ends with a separator
    DWORD minidumpType = 0;
    std::vector<AttachedFile> files;
    bool screenshot = false;
};

// Names the report itself uses; an attached file may not take them.
extern const char kDumpFileName[];
extern const char kDescriptionFileName[];
extern const char kScreenshotFileName[];
