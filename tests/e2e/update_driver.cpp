// Stands in for the host at the end of an update check that asked for the
// updater: its "product library" is the file library.txt in the library
// directory, and the update it wants is a version given here. A run whose
// library already has that version reports that it runs it and ends.
// Every run appends what it did to a journal file.
//
// Usage: update_driver <journal> <product> <product name> <src> <dst> <version>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "logging/logger.h"
#include "spawn_updater.h"

namespace {

std::string libraryVersion(const std::string& libraryDirectory) {
    std::ifstream library(libraryDirectory + "\\library.txt");
    std::string version;
    std::getline(library, version);
    return version;
}

void journal(const std::string& path, const std::string& line) {
    std::ofstream(path, std::ios::app | std::ios::binary) << line << "\n";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 7)
        return 2;
    const std::string journalPath = __argv[1];
    const std::string version = libraryVersion(__argv[5]);
    if (version == __argv[6]) {
        journal(journalPath, "running " + version);
        return 0;
    }
    journal(journalPath, "updating " + version);
    spawnUpdater(__argv[2], __argv[3], __argv[4], __argv[5]);
    std::ostringstream line;
    line << "not launched, appenders " << logging::Logger::getLogger()->getAppenderCount();
    journal(journalPath, line.str());
    return -1;
}
