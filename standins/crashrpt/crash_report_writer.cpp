#include "crash_report_writer.h"

#include <cstdarg>
#include <cstdio>

#include "report_paths.h"
#include "unique_handle.h"
#include "window_screenshot.h"

const char kDumpFileName[] = "crashdump.dmp";
const char kDescriptionFileName[] = "report.txt";
const char kScreenshotFileName[] = "screenshot.bmp";

namespace {

std::string formatText(const char* format, ...) {
    char buffer[512] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

std::string utcTimestamp(const char* format) {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    return formatText(format, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// The report folder's own name; the process id keeps two crashes of the same
// second apart.
std::string makeReportFolder(const ReportSettings& settings) {
    if (!createDirectories(settings.reportRoot))
        return {};
    const std::string folder = settings.reportRoot + safeFolderName(settings.applicationName) + "-" +
                               utcTimestamp("%04u%02u%02uT%02u%02u%02uZ") + "-" +
                               std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return {};
    return folder + "\\";
}

std::string writeMinidump(const ReportSettings& settings, const MinidumpWriter& minidump, const CrashEvent& event,
                          const std::string& folder) {
    const std::string path = folder + kDumpFileName;
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return formatText("minidump: not written (cannot create the file, error %lu)", GetLastError());
    if (!minidump.write(file.get(), settings.minidumpType, event))
        return formatText("minidump: failed (error 0x%08lX)", GetLastError());
    return formatText("minidump: %s (type 0x%lX)", kDumpFileName, settings.minidumpType);
}

std::string attachFile(const AttachedFile& attached, const std::string& folder) {
    const std::string line = "file: " + attached.path + " (" + attached.description + ")";
    if (!attached.copy)
        return line + " not copied";
    if (!CopyFileA(attached.path.c_str(), (folder + attached.name).c_str(), TRUE))
        return line + formatText(" not copied (error %lu)", GetLastError());
    return line + " copied as " + attached.name;
}

std::string takeScreenshot(const std::string& folder) {
    std::string error;
    if (!writeWindowScreenshot(findMainWindow(), folder + kScreenshotFileName, error))
        return "screenshot: none (" + error + ")";
    return std::string("screenshot: ") + kScreenshotFileName;
}

std::string describeException(const CrashEvent& event) {
    const EXCEPTION_RECORD* record = event.exception ? event.exception->ExceptionRecord : nullptr;
    if (!record)
        return "exception: none";
    return formatText("exception: code 0x%08lX at %p", record->ExceptionCode, record->ExceptionAddress);
}

void writeDescription(const std::string& folder, const std::vector<std::string>& lines) {
    UniqueFileHandle file(CreateFileA((folder + kDescriptionFileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    for (const std::string& line : lines) {
        const std::string text = line + "\r\n";
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace

std::string writeCrashReport(const ReportSettings& settings, const MinidumpWriter& minidump,
                             const CrashEvent& event) {
    const std::string folder = makeReportFolder(settings);
    if (folder.empty()) {
        OutputDebugStringA("crash reporter: unable to create a report folder\n");
        return {};
    }
    std::vector<std::string> lines = {
        "application: " + settings.applicationName,
        "version: " + settings.applicationVersion,
        "time: " + utcTimestamp("%04u-%02u-%02uT%02u:%02u:%02uZ"),
        formatText("process: %lu, thread: %lu", GetCurrentProcessId(), event.threadId),
        std::string("reason: ") + event.reason,
        describeException(event),
        // Before anything else touches the process's memory.
        writeMinidump(settings, minidump, event, folder),
    };
    if (settings.screenshot)
        lines.push_back(takeScreenshot(folder));
    for (const AttachedFile& attached : settings.files)
        lines.push_back(attachFile(attached, folder));
    lines.push_back("upload: none (this reporter keeps reports on this machine)");
    writeDescription(folder, lines);
    OutputDebugStringA(("crash reporter: report written to " + folder + "\n").c_str());
    return folder;
}
