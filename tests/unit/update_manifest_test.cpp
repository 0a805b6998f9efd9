// The signed update's manifest as the updaters read it, and the paths and
// folders they accept.
#include <gtest/gtest.h>

#include "folder_paths.h"
#include "update_manifest.h"

namespace {

const std::string kHash(64, 'a');

std::string manifestWith(const std::string& lines) {
    return std::string(kManifestHeader) + "\nversion 1.3.0\n" + lines;
}

struct PathCase {
    const char* path;
    bool safe;
};

class RelativePath : public testing::TestWithParam<PathCase> {};

TEST_P(RelativePath, IsSafeOnlyWhenItStaysInsideItsFolder) {
    EXPECT_EQ(GetParam().safe, isSafeRelativePath(GetParam().path)) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Paths, RelativePath, testing::Values(
    PathCase{"qo.dll", true}, PathCase{"sub\\feed.txt", true}, PathCase{"sub/deeper/a b.dll", true},
    PathCase{"..", false}, PathCase{"..\\qo.dll", false}, PathCase{"sub\\..\\..\\qo.dll", false},
    PathCase{"../qo.dll", false}, PathCase{".\\qo.dll", false}, PathCase{"", false},
    PathCase{"\\Windows\\qo.dll", false}, PathCase{"/etc/qo.dll", false},
    PathCase{"C:\\Windows\\qo.dll", false}, PathCase{"C:qo.dll", false},
    PathCase{"\\\\server\\share\\qo.dll", false}, PathCase{"\\\\?\\C:\\qo.dll", false},
    PathCase{"\\\\.\\pipe\\x", false}, PathCase{"qo.dll:stream", false},
    PathCase{"sub\\\\qo.dll", false}, PathCase{"sub\\", false}, PathCase{"qo.dll.", false},
    PathCase{"qo.dll ", false}, PathCase{"sub.\\qo.dll", false}, PathCase{"q*.dll", false},
    PathCase{"q?.dll", false}, PathCase{"q\"o.dll", false}, PathCase{"q<o.dll", false},
    PathCase{"q|o.dll", false}, PathCase{"q\no.dll", false}, PathCase{"con", false},
    PathCase{"NUL.txt", false}, PathCase{"sub\\com1.dll", false}, PathCase{"lpt9", false},
    PathCase{"console.dll", true}, PathCase{"com10.dll", true}));

TEST(UpdateManifest, ReadsWhatTheSigningToolWrites) {
    UpdateManifest written;
    written.version = "2.0.1";
    Bytes hash(kSha256Bytes);
    for (std::size_t i = 0; i < hash.size(); ++i)
        hash[i] = static_cast<unsigned char>(i * 7);
    written.files = {{"qo.dll", 1234, hash}, {"sub\\feed.txt", 0, hash}};
    UpdateManifest read;
    std::string error;
    ASSERT_TRUE(parseManifest(formatManifest(written), read, error)) << error;
    EXPECT_EQ("2.0.1", read.version);
    ASSERT_EQ(2u, read.files.size());
    EXPECT_EQ("qo.dll", read.files[0].path);
    EXPECT_EQ(1234u, read.files[0].size);
    EXPECT_EQ(hash, read.files[0].sha256);
    EXPECT_EQ("sub\\feed.txt", read.files[1].path);
}

TEST(UpdateManifest, TurnsSlashesIntoBackslashesAndKeepsSpacesInPaths) {
    UpdateManifest read;
    std::string error;
    ASSERT_TRUE(parseManifest(manifestWith("file 3 " + kHash + " sub/a b.dll\n"), read, error)) << error;
    EXPECT_EQ("sub\\a b.dll", read.files.at(0).path);
}

struct BadManifest {
    const char* name;
    std::string text;
    const char* error;
};

class RefusedManifest : public testing::TestWithParam<BadManifest> {};

TEST_P(RefusedManifest, IsNotReadAtAll) {
    UpdateManifest read;
    std::string error;
    EXPECT_FALSE(parseManifest(GetParam().text, read, error));
    EXPECT_EQ(0u, error.rfind(GetParam().error, 0)) << error;
}

INSTANTIATE_TEST_SUITE_P(Manifests, RefusedManifest, testing::Values(
    BadManifest{"Empty", "", "manifest does not end"},
    BadManifest{"NoFinalLineFeed", manifestWith("file 3 " + kHash + " a.dll"), "manifest does not end"},
    BadManifest{"OtherHeader", "qm-update-manifest 2\nversion 1\nfile 3 " + kHash + " a.dll\n",
                "not an update manifest"},
    BadManifest{"CarriageReturns", std::string(kManifestHeader) + "\r\nversion 1\r\n", "not an update manifest"},
    BadManifest{"NoFiles", manifestWith(""), "manifest without version or files"},
    BadManifest{"NoVersion", std::string(kManifestHeader) + "\nfile 3 " + kHash + " a.dll\n",
                "manifest without version or files"},
    BadManifest{"TwoVersions", manifestWith("version 9\nfile 3 " + kHash + " a.dll\n"), "repeated version"},
    BadManifest{"TextVersion", std::string(kManifestHeader) + "\nversion 1.3-beta\nfile 3 " + kHash + " a.dll\n",
                "bad version"},
    BadManifest{"UnknownLine", manifestWith("run calc.exe\n"), "unknown line"},
    BadManifest{"ParentPath", manifestWith("file 3 " + kHash + " ..\\a.dll\n"), "unsafe path"},
    BadManifest{"AbsolutePath", manifestWith("file 3 " + kHash + " C:\\a.dll\n"), "unsafe path"},
    BadManifest{"SharePath", manifestWith("file 3 " + kHash + " \\\\host\\share\\a.dll\n"), "unsafe path"},
    BadManifest{"RepeatedPath", manifestWith("file 3 " + kHash + " a.dll\nfile 3 " + kHash + " A.DLL\n"),
                "repeated or reserved path"},
    BadManifest{"ListsItself", manifestWith("file 3 " + kHash + " update-manifest.txt\n"),
                "repeated or reserved path"},
    BadManifest{"ListsTheSignature", manifestWith("file 3 " + kHash + " Update-Manifest.sig\n"),
                "repeated or reserved path"},
    BadManifest{"ShortHash", manifestWith("file 3 " + kHash.substr(2) + " a.dll\n"), "bad SHA-256"},
    BadManifest{"NotHex", manifestWith("file 3 " + std::string(64, 'g') + " a.dll\n"), "bad SHA-256"},
    BadManifest{"NegativeSize", manifestWith("file -3 " + kHash + " a.dll\n"), "bad size"},
    BadManifest{"HugeSize", manifestWith("file 99999999999999999999 " + kHash + " a.dll\n"), "bad size"},
    BadManifest{"TooLargeInAll",
                manifestWith("file 1073741824 " + kHash + " a.dll\nfile 1 " + kHash + " b.dll\n"),
                "update too large"},
    BadManifest{"NoPath", manifestWith("file 3 " + kHash + "\n"), "file line without"}),
    [](const testing::TestParamInfo<BadManifest>& info) { return info.param.name; });

TEST(ManifestVersion, IsOneToFourNumbers) {
    for (const char* good : {"2", "1.3.0", "1.4.6.8405", "0.0", "999999999.1"})
        EXPECT_TRUE(isManifestVersion(good)) << good;
    for (const char* bad : {"", "1.", ".1", "1..2", "1.2.3.4.5", "1.3.0-beta", "v2", " 1", "1 ", "1234567890", "-1"})
        EXPECT_FALSE(isManifestVersion(bad)) << bad;
}

TEST(ManifestVersion, ComparesNumberByNumber) {
    EXPECT_LT(compareManifestVersions("1.2.0", "1.3.0"), 0);
    EXPECT_GT(compareManifestVersions("1.10", "1.9"), 0);
    EXPECT_EQ(0, compareManifestVersions("1.3", "1.3.0.0"));
    EXPECT_LT(compareManifestVersions("1.3", "1.3.0.1"), 0);
    EXPECT_GT(compareManifestVersions("2", "1.99.99.99"), 0);
    EXPECT_EQ(0, compareManifestVersions("007", "7"));
}

TEST(Hex, ReadsExactlyTheBytesAskedFor) {
    Bytes bytes;
    EXPECT_TRUE(fromHex("00ff10Ab\n", 4, bytes));
    EXPECT_EQ((Bytes{0x00, 0xFF, 0x10, 0xAB}), bytes);
    EXPECT_EQ("00ff10ab", toHex(bytes));
    EXPECT_FALSE(fromHex("00ff10", 4, bytes));
    EXPECT_FALSE(fromHex("00ff10ab00", 4, bytes));
    EXPECT_FALSE(fromHex("00ff10a\n\n", 4, bytes));
    EXPECT_FALSE(fromHex("00ff10ax", 4, bytes));
}

TEST(FolderPaths, ComparesAsTheFileSystemDoes) {
    EXPECT_TRUE(isSameFolder("C:\\Program Files\\Q", "c:\\program files\\q\\"));
    EXPECT_TRUE(isSameFolder("C:\\Q", "C:/Q"));
    EXPECT_FALSE(isSameFolder("C:\\Q", "C:\\Q2"));
    EXPECT_FALSE(isSameFolder("", ""));

    EXPECT_TRUE(isSameOrInsideFolder("C:\\ProgramData\\Q\\staging", "C:\\ProgramData\\Q\\staging"));
    EXPECT_TRUE(isSameOrInsideFolder("C:\\ProgramData\\Q\\staging\\", "c:\\programdata\\q\\STAGING\\next"));
    EXPECT_FALSE(isSameOrInsideFolder("C:\\ProgramData\\Q\\staging", "C:\\ProgramData\\Q\\staging2"));
    EXPECT_FALSE(isSameOrInsideFolder("C:\\ProgramData\\Q\\staging", "C:\\ProgramData\\Q"));
    EXPECT_FALSE(isSameOrInsideFolder("", "C:\\anything"));
}

}  // namespace
