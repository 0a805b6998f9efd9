#include "folder_paths.h"

#include <algorithm>
#include <cctype>

namespace {

std::string comparable(const std::string& path) {
    std::string text = path;
    while (!text.empty() && (text.back() == '\\' || text.back() == '/'))
        text.pop_back();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c == '/' ? '\\' : static_cast<char>(std::tolower(c));
    });
    return text;
}

}  // namespace

bool isSameFolder(const std::string& a, const std::string& b) {
    const std::string first = comparable(a);
    return !first.empty() && first == comparable(b);
}

bool isSameOrInsideFolder(const std::string& folder, const std::string& path) {
    const std::string parent = comparable(folder);
    const std::string child = comparable(path);
    if (parent.empty() || child.compare(0, parent.size(), parent) != 0)
        return false;
    return child.size() == parent.size() || child[parent.size()] == '\\';
}
