#include "staged_library.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "plain_file_name.h"

std::string stagedLibraryFolder(const std::string& stagingDirectory, const std::string& client) {
    if (stagingDirectory.empty() || !isPlainFileName(client))
        return {};
    std::string folder = stagingDirectory + "\\" + client + "\\lib";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

void removeStagedLibraryFolder(const std::string& folder) {
    if (folder.empty())
        return;
    std::string source = folder;
    source.push_back('\0');  // the shell wants a list ended by two NULs
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}
