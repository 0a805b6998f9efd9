#include "last_error_text.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

std::mutex textMutex;
std::string lastText = "OK";

}  // namespace

void setLastErrorText(const std::string& text) {
    std::lock_guard<std::mutex> lock(textMutex);
    lastText = text;
}

int copyLastErrorText(char* buffer, unsigned int size) {
    if (!buffer || size == 0)
        return -1;
    std::lock_guard<std::mutex> lock(textMutex);
    const size_t length = std::min<size_t>(lastText.size(), size - 1);
    std::memcpy(buffer, lastText.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
