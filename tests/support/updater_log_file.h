#pragma once
// Reading the updater log as the hand-off writes it (every layout field,
// bar-separated), and the per-product log folders the tests use.
#include <string>
#include <vector>

struct UpdaterLogEntry {
    std::string level;  // WARN or ERROR
    std::string text;
    bool operator==(const UpdaterLogEntry& other) const {
        return level == other.level && text == other.text;
    }
};

// The lines of the file, each split after its five leading fields; a line
// without them is kept whole as its text with the level "?".
std::vector<UpdaterLogEntry> readUpdaterLog(const std::string& path);

std::string commonAppDataFolder();
// <common application data>\Quorvel\<product>\qmUpdater.log
std::string productUpdaterLogPath(const std::string& product);
// Removes the product's log folder and the log in it.
void removeProductLogFolder(const std::string& product);

// The copy of the updater the host makes, in the temporary folder.
std::string temporaryUpdaterCopy();
