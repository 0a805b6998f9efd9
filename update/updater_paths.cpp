#include "updater_paths.h"

#include "plain_file_name.h"
#include "updater_names.h"

namespace {

bool endsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

}  // namespace

std::string directoryOfPath(const std::string& path) {
    std::string::size_type last = path.rfind('\\');
    if (last == std::string::npos)
        last = path.rfind('/');
    if (last == std::string::npos || last == 0)
        return std::string();
    return path.substr(0, last + 1);
}

std::string fileInDirectory(const std::string& directory, const char* name) {
    if (directory.empty() || endsWithSeparator(directory))
        return directory + name;
    return directory + "\\" + name;
}

std::string updaterLogPath(const std::string& commonAppData, const char* product) {
    if (!product || !isPlainFileName(product))
        return std::string();
    std::string folder = fileInDirectory(commonAppData, kUpdaterLogVendorFolder);
    folder = fileInDirectory(folder, product);
    return fileInDirectory(folder, kUpdaterLogFileName);
}

std::string completeCommandLine(const std::string& command, const char* currentDirectory) {
    if (command.find(':') != std::string::npos || !currentDirectory || !*currentDirectory)
        return command;
    const std::string::size_type start = command.compare(0, 1, "\"") == 0 ? 1 : 0;
    return command.substr(0, start) + fileInDirectory(currentDirectory, "") +
           command.substr(start);
}
