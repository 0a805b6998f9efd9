// Preloading the real engine stand-ins and loading a product library from a
// library folder laid out like an installation's.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "debug_harness.h"
#include "entry_points.h"
#include "library_path.h"
#include "library_preload.h"
#include "log_capture.h"
#include "please_wait_session.h"
#include "preload_table.h"
#include "product_library_loader.h"
#include "test_files.h"

namespace {

// The preload table as the product libraries expect it, in load order.
const std::vector<std::string> kTableFiles = {
    "rbase.dll", "rmain.dll", "rxml.dll", "rinput.dll", "rengine.dll", "raudio.dll", "rparticle.dll",
    "rphysics.dll", "rui.dll", "regl.dll", "rgles2renderer.dll", "rgles3renderer.dll", "rglbootstrap.dll",
    "rimport.dll", "rflow.dll", "rsquirrel.dll", "sqrbase.dll", "sqrmain.dll", "sqrxml.dll", "sqrinput.dll",
    "sqrengine.dll", "sqraudio.dll", "sqrparticle.dll", "sqrphysics.dll", "sqrui.dll", "selfupdate.dll",
    "lobby-client.dll", "talk3client.dll", "uiCtrl_rmod.dll", "qmbrowser.dll", "webapi2.dll", "mediashow.dll",
    "stageengine.dll", "clip-player.dll", "qo.dll",
};
const int kEngineRows = 34;  // all but the product library's fallback

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A library folder inside a temporary folder, so that a name leading out of
// it can be shown to stay unused. The engine stand-ins are copied in, less
// those left out.
class LibraryFolder {
public:
    LibraryFolder(const std::string& name, const std::vector<std::string>& leftOut = {})
        : outer_(name), path_(outer_.path() + "\\lib") {
        CreateDirectoryA(path_.c_str(), nullptr);
        for (int row = 0; row < kEngineRows; ++row) {
            const std::string& file = kTableFiles[row];
            if (std::find(leftOut.begin(), leftOut.end(), file) == leftOut.end())
                copyBuilt(file, file);
        }
    }
    // Copies a library built next to the test into the folder under a name.
    void copyBuilt(const std::string& built, const std::string& as) const {
        const std::string target = path_ + "\\" + as;
        EXPECT_TRUE(CopyFileA((testBinaryDirectory() + built).c_str(), target.c_str(), FALSE))
            << built << " -> " << target << " err " << GetLastError();
    }
    void copyBuiltOutside(const std::string& built, const std::string& as) const {
        CopyFileA((testBinaryDirectory() + built).c_str(), (outer_.path() + "\\" + as).c_str(), FALSE);
    }
    const std::string& path() const { return path_; }

private:
    TemporaryFolder outer_;
    std::string path_;
};

// Modules of this process loaded from `folder`, in load order.
std::vector<std::string> modulesLoadedFrom(const std::string& folder) {
    std::vector<std::string> names;
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0));
    if (!snapshot)
        return names;
    const std::string prefix = lowerCase(folder + "\\");
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot.get(), &entry); more; more = Module32Next(snapshot.get(), &entry)) {
        if (lowerCase(entry.szExePath).compare(0, prefix.size(), prefix) == 0)
            names.push_back(entry.szModule);
    }
    return names;
}

void expectAllRowsEmpty() {
    for (const PreloadRow* row = preloadTable; row->fileName; ++row)
        EXPECT_FALSE(row->module) << row->fileName;
}

// --- joinLibraryPath -------------------------------------------------------

struct JoinCase {
    const char* directory;
    const char* fileName;
    const char* expected;
};

TEST(JoinLibraryPath, UsesBackslashesAndOneSeparator) {
    const JoinCase cases[] = {
        {"C:\\lib", "a.dll", "C:\\lib\\a.dll"},
        {"C:\\lib\\", "a.dll", "C:\\lib\\a.dll"},
        {"C:/lib", "a.dll", "C:\\lib\\a.dll"},
        {"C:/x/", "a.dll", "C:\\x\\\\a.dll"},  // a trailing slash is no separator
        {"", "a.dll", "a.dll"},
        {"", "sub/a.dll", "sub\\a.dll"},
        {"\\\\server\\share", "a.dll", "\\\\server\\share\\a.dll"},
        {"C:\\lib", "", "C:\\lib\\"},
    };
    for (const JoinCase& c : cases)
        EXPECT_EQ(c.expected, joinLibraryPath(c.directory, c.fileName)) << c.directory << " + " << c.fileName;
}

// --- preloading ------------------------------------------------------------

class LibraryLoading : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new LibraryFolder("library-loading");
        folder->copyBuilt("library_probe_fallback.dll", "qo.dll");
        folder->copyBuilt("library_probe_client.dll", "TESTCLIENT.dll");
        folder->copyBuilt("library_probe_client.dll", ".dll");
        folder->copyBuiltOutside("library_probe_client.dll", "outside.dll");
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void TearDown() override { expectAllRowsEmpty(); }

    static LibraryFolder* folder;
};

LibraryFolder* LibraryLoading::folder = nullptr;

TEST_F(LibraryLoading, PreloadsEveryRowInTableOrderWithProgress) {
    PleaseWaitSession session;
    PleaseWaitDialog* dialog = activeWaitDialog.load();
    ASSERT_NE(nullptr, dialog);

    preloadLibraries(folder->path());

    ASSERT_EQ(35, preloadRowCount());
    for (int row = 0; row < preloadRowCount(); ++row) {
        EXPECT_EQ(kTableFiles[row], preloadTable[row].fileName);
        const std::string path = folder->path() + "\\" + kTableFiles[row];
        EXPECT_EQ(GetModuleHandleA(path.c_str()), preloadTable[row].module.get()) << path;
        EXPECT_TRUE(preloadTable[row].module) << path;
    }
    EXPECT_EQ(kTableFiles, modulesLoadedFrom(folder->path()));
    const PleaseWaitProgress progress = dialog->progress();
    EXPECT_EQ(0, progress.progressMin);
    EXPECT_EQ(35, progress.progressMax);
    EXPECT_EQ(35, progress.progressValue);
    EXPECT_STREQ("qo.dll", progress.progressText);

    releasePreloadedLibraries();
    expectAllRowsEmpty();
    EXPECT_TRUE(modulesLoadedFrom(folder->path()).empty());
}

TEST_F(LibraryLoading, PreloadsWithoutADialog) {
    ASSERT_EQ(nullptr, activeWaitDialog.load());
    LogCapture log;
    preloadLibraries(folder->path());
    EXPECT_EQ(kTableFiles, modulesLoadedFrom(folder->path()));
    releasePreloadedLibraries();
    EXPECT_TRUE(modulesLoadedFrom(folder->path()).empty());
    EXPECT_TRUE(log.linesStartingWith("W|").empty());
}

TEST_F(LibraryLoading, APreloadNotUndoneKeepsNoExtraReference) {
    preloadLibraries(folder->path());
    LogCapture log;
    preloadLibraries(folder->path());
    const auto warnings = log.linesStartingWith("W|Preload not undone for library: ");
    ASSERT_EQ(kTableFiles.size(), warnings.size());
    EXPECT_EQ("W|Preload not undone for library: rbase.dll\n", warnings.front());
    EXPECT_EQ("W|Preload not undone for library: qo.dll\n", warnings.back());
    // One release is enough to unload every library again.
    releasePreloadedLibraries();
    EXPECT_TRUE(modulesLoadedFrom(folder->path()).empty());
}

TEST_F(LibraryLoading, ALibraryThatCannotBeFreedIsLoggedAndItsRowCleared) {
    static int notAModule = 0;
    preloadTable[2].module.reset(reinterpret_cast<HMODULE>(&notAModule));
    LogCapture log;
    releasePreloadedLibraries();
    EXPECT_EQ(std::vector<std::string>{"W|Unload failed for library: rxml.dll\n"}, log.lines());
}

TEST(LibraryPreload, SkipsRowsThatFailWithoutAdvancingTheBar) {
    LibraryFolder incomplete("library-preload-incomplete", {"rui.dll"});  // and no qo.dll
    PleaseWaitSession session;
    PleaseWaitDialog* dialog = activeWaitDialog.load();
    ASSERT_NE(nullptr, dialog);
    LogCapture log;

    preloadLibraries(incomplete.path());

    EXPECT_EQ((std::vector<std::string>{"W|Preload failed for library: rui.dll (err 126)\n",
                                        "W|Preload failed for library: qo.dll (err 126)\n"}),
              log.linesStartingWith("W|"));
    EXPECT_FALSE(preloadTable[8].module);
    EXPECT_TRUE(preloadTable[9].module);
    const PleaseWaitProgress progress = dialog->progress();
    EXPECT_EQ(33, progress.progressValue);
    EXPECT_STREQ("clip-player.dll", progress.progressText);
    releasePreloadedLibraries();
    expectAllRowsEmpty();
}

// --- loading the product library -----------------------------------------------

struct LoadCase {
    const char* name;
    const char* client;
    const char* fallback;
    const char* loadedFile;  // null: nothing loaded
    const char* identity;
    const char* logLine;     // the one warning or error expected, if any
};

class ProductLibraryLoading : public LibraryLoading, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(ProductLibraryLoading, TriesTheClientLibraryThenTheFallback) {
    const LoadCase& c = GetParam();
    LogCapture log;
    HMODULE module = loadProductLibrary(c.client, c.fallback, folder->path());

    std::vector<std::string> problems = log.linesStartingWith("W|");
    for (const std::string& line : log.linesStartingWith("E|"))
        problems.push_back(line);
    EXPECT_EQ(c.logLine ? std::vector<std::string>{c.logLine} : std::vector<std::string>{}, problems);

    // The preloaded libraries are let go and the dialog is gone.
    expectAllRowsEmpty();
    EXPECT_EQ(nullptr, activeWaitDialog.load());
    EXPECT_EQ(nullptr, FindWindowA(kPleaseWaitClassName, nullptr));

    if (!c.loadedFile) {
        EXPECT_EQ(nullptr, module);
        EXPECT_TRUE(modulesLoadedFrom(folder->path()).empty());
        return;
    }
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(std::vector<std::string>{c.loadedFile}, modulesLoadedFrom(folder->path()));
    using Identity = const char*(__cdecl*)();
    auto identity = reinterpret_cast<Identity>(reinterpret_cast<void (*)()>(GetProcAddress(module, "probeIdentity")));
    ASSERT_NE(nullptr, identity);
    EXPECT_STREQ(c.identity, identity());

    unloadProductLibrary(module);
    EXPECT_TRUE(modulesLoadedFrom(folder->path()).empty());
}

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProductLibraryLoading,
    ::testing::Values(
        LoadCase{"ClientLibrary", "TESTCLIENT", "qo.dll", "TESTCLIENT.dll", "client", nullptr},
        LoadCase{"FallbackWithoutClientLibrary", "QUORVELMEET", "qo.dll", "qo.dll", "fallback", nullptr},
        LoadCase{"EmptyClientNamesTheFileDotDll", "", "qo.dll", ".dll", "client", nullptr},
        LoadCase{"NeitherFound", "QUORVELMEET", "absent.dll", nullptr, nullptr,
                 "E|Failed to load library (err 126)\n"},
        LoadCase{"ClientLeadingOutOfTheFolder", "..\\outside", "qo.dll", "qo.dll", "fallback",
                 "W|Library name is not a plain file name: ..\\outside\n"},
        LoadCase{"ClientWithSlashes", "../outside", "qo.dll", "qo.dll", "fallback",
                 "W|Library name is not a plain file name: ../outside\n"},
        LoadCase{"ClientWithADrive", "C:outside", "qo.dll", "qo.dll", "fallback",
                 "W|Library name is not a plain file name: C:outside\n"},
        LoadCase{"ClientWithAWildcard", "TESTCLIENT*", "qo.dll", "qo.dll", "fallback",
                 "W|Library name is not a plain file name: TESTCLIENT*\n"}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// --- unloading -------------------------------------------------------------

void calledNever() {}

// The names of the bound entry points, in order.
std::vector<std::string> boundEntryPoints() {
    std::vector<std::string> bound;
    forEachEntryPoint(entryPoints, [&](auto& binding, const char* name) {
        if (binding.load())
            bound.push_back(name);
    });
    return bound;
}

TEST(UnloadProductLibrary, UnbindsAllThirteenEntryPointsAlsoWithoutAModule) {
    forEachEntryPoint(entryPoints, [](auto& binding, const char*) {
        using Fn = decltype(binding.load());
        binding.store(reinterpret_cast<Fn>(&calledNever));
    });
    ASSERT_EQ((std::vector<std::string>{"qmUpdateSystem", "qmUpdateSystemGetData", "qmUpdateSystemRelease",
                                        "qmPreInit", "qmInit", "qmIsFullScreen", "qmStart", "qmStop", "qmResize",
                                        "qmTextInput", "qmWinEvent", "qmKeyEvent", "qmReset"}),
              boundEntryPoints());

    unloadProductLibrary(nullptr);

    EXPECT_EQ(std::vector<std::string>{}, boundEntryPoints());
}

}  // namespace
