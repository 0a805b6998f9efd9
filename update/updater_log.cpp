#include "updater_log.h"

#include <windows.h>
#include <shlobj.h>

#include "logging/file_appender.h"
#include "logging/logger.h"
#include "updater_paths.h"

namespace {

// Every field of the layout, bar-separated.
constexpr unsigned kLayoutFields = 63;
constexpr char kLayoutSeparator = '|';
constexpr unsigned kNoSizeLimit = 0xFFFFFFFF;

}  // namespace

void setupUpdaterLog(const char* product) {
    if (!product)
        return;
    char commonAppData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, commonAppData, CSIDL_COMMON_APPDATA, FALSE))
        return;
    const std::string path = updaterLogPath(commonAppData, product);
    if (path.empty())
        return;
    auto* layout = new logging::SimpleLayout(kLayoutFields, kLayoutSeparator);
    auto* appender = new logging::FileAppender(path.c_str(), logging::FileAppender::Append,
                                               kNoSizeLimit, layout);
    logging::Logger::getLogger()->attach(appender);
}
