#include "copy_file_silently.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

// The shell takes a list of paths, each NUL-ended, the list ended by another NUL.
std::string shellPathList(const char* path) {
    std::string list = path ? path : "";
    std::replace(list.begin(), list.end(), '/', '\\');
    list.append(2, '\0');
    return list;
}

}  // namespace

bool copyFileSilently(const char* from, const char* to) {
    const std::string source = shellPathList(from);
    const std::string target = shellPathList(to);
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = source.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}
