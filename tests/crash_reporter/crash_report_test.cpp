// The crash reporter in a real process: crash_probe installs it and crashes,
// and the report it leaves is read back here, the minidump included.
#include <windows.h>
#include <dbghelp.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "crash_probe_protocol.h"
#include "debug_harness.h"
#include "test_files.h"
#include "unique_handle.h"

namespace {

constexpr DWORD kProbeTimeoutMs = 10 * 60 * 1000;
constexpr DWORD kStatusFatalAppExit = 0x40000015;
constexpr DWORD kAbortExitCode = 3;
constexpr DWORD kMiniDumpNormal = 0;
constexpr ULONG32 kMinidumpSignature = 0x504D444D;  // "MDMP"
// The host's own type, full memory included.
constexpr DWORD kHostMinidumpType = 0x8190B;
const char kLogText[] = "first line of the probe's log\r\nsecond line\r\n";

std::string probeCommand(const std::string& mode, const std::string& reportFolder, DWORD minidumpType,
                         const std::string& logFile) {
    char type[16] = {};
    std::snprintf(type, sizeof type, "%lX", minidumpType);
    return "\"" + testBinaryDirectory() + "crash_probe.exe\" " + mode + " \"" + reportFolder + "\" " + type + " \"" +
           logFile + "\"";
}

// Starts the probe as a user would (no debugger: a debugger would take the
// crash before the reporter) and returns its exit code.
DWORD runProbe(const std::string& commandLine, const std::string& temporaryFolder = {}) {
    std::vector<char> environment;
    if (!temporaryFolder.empty()) {
        for (const char* name : {"TMP", "TEMP"}) {
            const std::string entry = std::string(name) + "=" + temporaryFolder;
            environment.insert(environment.end(), entry.begin(), entry.end());
            environment.push_back('\0');
        }
        environment.push_back('\0');
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0,
                        environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info))
        return 0xFFFFFFFF;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    if (WaitForSingleObject(process.get(), kProbeTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 0xDEAD);
        return 0xDEAD;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

// Reads pieces of a minidump the way a debugger finds them: header, stream
// directory, then each stream by its offset.
class MinidumpFile {
public:
    explicit MinidumpFile(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}

    bool read(ULONG64 offset, void* buffer, DWORD size) const {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        return file_ && SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN) &&
               ReadFile(file_.get(), buffer, size, &got, nullptr) && got == size;
    }

    bool header(MINIDUMP_HEADER& header) const { return read(0, &header, sizeof header); }

    bool findStream(ULONG32 type, MINIDUMP_LOCATION_DESCRIPTOR& location) const {
        MINIDUMP_HEADER head = {};
        if (!header(head))
            return false;
        for (ULONG32 i = 0; i < head.NumberOfStreams; ++i) {
            MINIDUMP_DIRECTORY entry = {};
            if (!read(head.StreamDirectoryRva + i * sizeof entry, &entry, sizeof entry))
                return false;
            if (entry.StreamType == type) {
                location = entry.Location;
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> moduleNames() const {
        std::vector<std::string> names;
        MINIDUMP_LOCATION_DESCRIPTOR location = {};
        ULONG32 count = 0;
        if (!findStream(ModuleListStream, location) || !read(location.Rva, &count, sizeof count))
            return names;
        for (ULONG32 i = 0; i < count; ++i) {
            MINIDUMP_MODULE module = {};
            ULONG32 length = 0;
            if (!read(location.Rva + sizeof count + i * sizeof module, &module, sizeof module) ||
                !read(module.ModuleNameRva, &length, sizeof length))
                break;
            std::wstring wide(length / sizeof(wchar_t), L'\0');
            if (!wide.empty() && !read(module.ModuleNameRva + sizeof length, &wide[0], length))
                break;
            names.push_back(std::string(wide.begin(), wide.end()));
        }
        return names;
    }

private:
    UniqueFileHandle file_;
};

bool hasModule(const std::vector<std::string>& names, const std::string& fileName) {
    for (const std::string& name : names) {
        const std::string tail = name.substr(name.find_last_of("\\/") + 1);
        if (lstrcmpiA(tail.c_str(), fileName.c_str()) == 0)
            return true;
    }
    return false;
}

void expectMinidump(const std::string& path, DWORD exceptionCode) {
    const MinidumpFile dump(path);
    MINIDUMP_HEADER header = {};
    ASSERT_TRUE(dump.header(header)) << path;
    EXPECT_EQ(kMinidumpSignature, header.Signature);
    EXPECT_EQ(static_cast<ULONG32>(MINIDUMP_VERSION), header.Version & 0xFFFF);

    MINIDUMP_LOCATION_DESCRIPTOR location = {};
    ASSERT_TRUE(dump.findStream(ExceptionStream, location));
    MINIDUMP_EXCEPTION_STREAM exception = {};
    ASSERT_TRUE(dump.read(location.Rva, &exception, sizeof exception));
    EXPECT_EQ(exceptionCode, exception.ExceptionRecord.ExceptionCode);
    EXPECT_NE(0u, exception.ThreadContext.DataSize);

    const std::vector<std::string> modules = dump.moduleNames();
    EXPECT_TRUE(hasModule(modules, "crash_probe.exe"));
    EXPECT_TRUE(hasModule(modules, "CrashRpt1403.dll"));
}

// The probe's window as the screenshot shows it: its size, and its colour in
// the middle of the client area.
void expectScreenshotOfProbeWindow(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    ASSERT_GE(bytes.size(), sizeof file + sizeof info) << path;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    EXPECT_EQ(0x4D42, file.bfType);
    EXPECT_EQ(bytes.size(), file.bfSize);
    EXPECT_EQ(kProbeWindowWidth, info.biWidth);
    EXPECT_EQ(kProbeWindowHeight, info.biHeight);
    ASSERT_EQ(24, info.biBitCount);
    const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t(3);
    ASSERT_EQ(file.bfOffBits + stride * info.biHeight, bytes.size());
    const size_t at = file.bfOffBits + stride * (info.biHeight - 1 - kProbeColorY) + kProbeColorX * 3;
    const auto blue = static_cast<unsigned char>(bytes[at]);
    const auto green = static_cast<unsigned char>(bytes[at + 1]);
    const auto red = static_cast<unsigned char>(bytes[at + 2]);
    EXPECT_EQ(kProbeColor, RGB(red, green, blue));
}

struct CrashCase {
    const char* mode;
    DWORD exitCode;       // 0: a memory fault, whose code the emulator here may change
    DWORD exceptionCode;  // 0: the exit code
    const char* reason;
};

bool isErrorStatus(DWORD code) {
    return (code & 0xC0000000) == 0xC0000000;
}

class CrashReport : public testing::TestWithParam<CrashCase> {
protected:
    TemporaryFolder folder_{"crash report"};
};

TEST_P(CrashReport, HoldsTheMinidumpTheLogAndTheScreenshot) {
    const CrashCase& c = GetParam();
    const std::string logFile = folder_.path() + "\\probe.log";
    writeWholeFile(logFile, kLogText);
    const std::string reports = folder_.path() + "\\reports";

    const DWORD exitCode = runProbe(probeCommand(c.mode, reports, kMiniDumpNormal, logFile));
    if (c.exitCode)
        EXPECT_EQ(c.exitCode, exitCode);
    else
        EXPECT_TRUE(isErrorStatus(exitCode)) << std::hex << exitCode;
    const DWORD exceptionCode = c.exceptionCode ? c.exceptionCode : exitCode;

    const std::vector<std::string> written = subfolders(reports);
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ(0u, written[0].rfind("crash_probe-", 0)) << written[0];
    const std::string report = reports + "\\" + written[0] + "\\";
    expectMinidump(report + "crashdump.dmp", exceptionCode);
    EXPECT_EQ(kLogText, readWholeFile(report + "probe.log"));
    expectScreenshotOfProbeWindow(report + "screenshot.bmp");

    const std::string description = readWholeFile(report + "report.txt");
    EXPECT_NE(std::string::npos, description.find("application: crash_probe\r\n"));
    EXPECT_NE(std::string::npos, description.find("version: 9.8.7.6\r\n"));
    EXPECT_NE(std::string::npos, description.find(std::string("reason: ") + c.reason + "\r\n"));
    char codeLine[64] = {};
    std::snprintf(codeLine, sizeof codeLine, "exception: code 0x%08lX at ", exceptionCode);
    EXPECT_NE(std::string::npos, description.find(codeLine)) << description;
    EXPECT_NE(std::string::npos, description.find("copied as probe.log"));
    EXPECT_NE(std::string::npos, description.find("upload: none"));
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashReport, testing::Values(
    CrashCase{"access-violation", 0, 0, "unhandled exception"},
    CrashCase{"thread-access-violation", 0, 0, "unhandled exception"},
    CrashCase{"raise", kProbeExceptionCode, kProbeExceptionCode, "unhandled exception"},
    CrashCase{"abort", kAbortExitCode, kStatusFatalAppExit, "signal SIGABRT (abort)"}));

TEST(CrashReportFolder, IsInTheTemporaryFolderWithoutOneInTheRecord) {
    TemporaryFolder temporary("crash temp");
    const std::string logFile = temporary.path() + "\\probe.log";
    writeWholeFile(logFile, kLogText);

    EXPECT_EQ(kProbeExceptionCode, runProbe(probeCommand("raise", "-", kMiniDumpNormal, logFile), temporary.path()));

    const std::string reports = temporary.path() + "\\crash_probe crash reports";
    const std::vector<std::string> written = subfolders(reports);
    ASSERT_EQ(1u, written.size());
    expectMinidump(reports + "\\" + written[0] + "\\crashdump.dmp", kProbeExceptionCode);
}

// The host's minidump type takes the whole memory: under Wine some 200 MB,
// removed with the test's folder.
TEST(CrashReportFolder, HostMinidumpTypeWritesAFullDump) {
    TemporaryFolder folder("crash full dump");
    const std::string logFile = folder.path() + "\\probe.log";
    writeWholeFile(logFile, kLogText);
    const std::string reports = folder.path() + "\\reports";

    EXPECT_EQ(kProbeExceptionCode, runProbe(probeCommand("raise", reports, kHostMinidumpType, logFile)));

    const std::vector<std::string> written = subfolders(reports);
    ASSERT_EQ(1u, written.size());
    const std::string dump = reports + "\\" + written[0] + "\\crashdump.dmp";
    expectMinidump(dump, kProbeExceptionCode);
    const MinidumpFile file(dump);
    MINIDUMP_LOCATION_DESCRIPTOR memory = {};
    EXPECT_TRUE(file.findStream(Memory64ListStream, memory)) << "a full-memory dump has a 64-bit memory list";
}

// The trace the reporter leaves on the debugger output, and no report from
// a run that does not crash.
TEST(CrashReporterTrace, InstallAndUninstallAreOnTheDebuggerOutput) {
    TemporaryFolder folder("crash trace");
    const std::string logFile = folder.path() + "\\probe.log";
    writeWholeFile(logFile, kLogText);
    const std::string reports = folder.path() + "\\reports";

    const DebugRun run = runUnderDebugger(probeCommand("clean", reports, kMiniDumpNormal, logFile));

    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    const std::vector<std::string> expected = {
        "crash reporter: installed (flags 0x1FFF, minidump type 0x0, reports in " + reports + "\\)\n",
        "crash reporter: uninstalled\n"};
    EXPECT_EQ(expected, run.linesStartingWith("crash reporter:"));
    EXPECT_TRUE(subfolders(reports).empty());
}

// A debugger gets the crash before the process's filter: no report then.
TEST(CrashReporterTrace, UnderADebuggerTheDebuggerHasTheCrash) {
    TemporaryFolder folder("crash debugged");
    const std::string logFile = folder.path() + "\\probe.log";
    writeWholeFile(logFile, kLogText);
    const std::string reports = folder.path() + "\\reports";

    const DebugRun run = runUnderDebugger(probeCommand("raise", reports, kMiniDumpNormal, logFile));

    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(kProbeExceptionCode, run.exitCode);
    EXPECT_TRUE(subfolders(reports).empty());
}

}  // namespace
