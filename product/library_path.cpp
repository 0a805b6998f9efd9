#include "library_path.h"

#include <algorithm>

std::string joinLibraryPath(const std::string& directory, const std::string& fileName) {
    std::string path = directory;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += fileName;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

UniqueModule loadLibraryFile(const std::string& path) {
    return UniqueModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
