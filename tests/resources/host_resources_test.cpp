// The host's resources as Windows reads them from an executable that
// carries them: icon groups, version block, manifest, and no menu or
// accelerator table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "debug_harness.h"
#include "host_version.h"
#include "resource.h"
#include "unique_handle.h"

namespace {

// The icon directory of an icon group resource.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

struct ResourceData {
    const BYTE* bytes = nullptr;
    DWORD size = 0;
};

ResourceData findResource(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    ResourceData data;
    if (loaded) {
        data.bytes = static_cast<const BYTE*>(LockResource(loaded));
        data.size = SizeofResource(module, found);
    }
    return data;
}

BOOL CALLBACK countResource(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The program whose resources are read: QM_RESOURCE_IMAGE (a file name in
// the test's folder, such as quorvelmeet.exe), else resource_probe.exe.
std::string probePath() {
    char name[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QM_RESOURCE_IMAGE", name, MAX_PATH);
    return testBinaryDirectory() + (length > 0 && length < MAX_PATH ? name : "resource_probe.exe");
}

class HostResources : public testing::Test {
protected:
    UniqueModule module_{LoadLibraryExA(probePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
};

struct IconCase {
    int id;
    int size;
};

class HostIcon : public HostResources, public testing::WithParamInterface<IconCase> {};

TEST_P(HostIcon, IsOneImageOfItsSizeWith32BitsAndAlpha) {
    ASSERT_TRUE(module_);
    const int size = GetParam().size;
    const ResourceData group = findResource(module_.get(), MAKEINTRESOURCEA(GetParam().id), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group.bytes);
    ASSERT_GE(group.size, sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
    GroupIconHeader header;
    GroupIconEntry entry;
    std::memcpy(&header, group.bytes, sizeof header);
    std::memcpy(&entry, group.bytes + sizeof header, sizeof entry);
    EXPECT_EQ(1, header.count);
    EXPECT_EQ(size, entry.width);
    EXPECT_EQ(size, entry.height);
    EXPECT_EQ(32, entry.bitCount);

    // The image Windows picks for this size is that one, 32 bits per pixel.
    const int imageId = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.bytes), TRUE, size, size,
                                                    LR_DEFAULTCOLOR);
    EXPECT_EQ(entry.id, imageId);
    const ResourceData image = findResource(module_.get(), MAKEINTRESOURCEA(imageId), RT_ICON);
    ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER) + size * size * 4u);
    BITMAPINFOHEADER bitmap;
    std::memcpy(&bitmap, image.bytes, sizeof bitmap);
    EXPECT_EQ(size, bitmap.biWidth);
    EXPECT_EQ(2 * size, bitmap.biHeight);  // colour and mask
    ASSERT_EQ(32, bitmap.biBitCount);
    // The alpha channel is used: the rounded corner is clear, the middle opaque.
    const BYTE* pixels = image.bytes + bitmap.biSize;
    const auto alphaAt = [&](int x, int y) { return pixels[((size - 1 - y) * size + x) * 4 + 3]; };
    EXPECT_EQ(0, alphaAt(0, 0));
    EXPECT_EQ(255, alphaAt(size / 2, size / 2));

    UniqueIcon icon(static_cast<HICON>(
        LoadImageA(module_.get(), MAKEINTRESOURCEA(GetParam().id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    UniqueGdiObject color(info.hbmColor);
    UniqueGdiObject mask(info.hbmMask);
    BITMAP colorBitmap = {};
    ASSERT_TRUE(GetObjectA(color.get(), sizeof colorBitmap, &colorBitmap));
    EXPECT_EQ(size, colorBitmap.bmWidth);
    EXPECT_EQ(size, colorBitmap.bmHeight);
}

INSTANTIATE_TEST_SUITE_P(Groups, HostIcon, testing::Values(
    IconCase{IDI_HOST_ICON, 128}, IconCase{IDI_HOST_SMALL_ICON, 48}));

TEST_F(HostResources, HaveNoMenuAndNoAcceleratorTable) {
    ASSERT_TRUE(module_);
    EXPECT_EQ(nullptr, FindResourceA(module_.get(), MAKEINTRESOURCEA(IDR_HOST_MENU), RT_ACCELERATOR));
    EXPECT_EQ(nullptr, FindResourceA(module_.get(), MAKEINTRESOURCEA(IDR_HOST_MENU), RT_MENU));
}

TEST_F(HostResources, ManifestAsksToRunAsTheInvoker) {
    ASSERT_TRUE(module_);
    int manifests = 0;
    EnumResourceNamesA(module_.get(), RT_MANIFEST, countResource, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(1, manifests);
    const ResourceData manifest = findResource(module_.get(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(nullptr, manifest.bytes);
    const std::string text(reinterpret_cast<const char*>(manifest.bytes), manifest.size);
    EXPECT_NE(std::string::npos, text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"))
        << text;
}

// How the host reads its own version: resource 1 of RT_VERSION, the fixed
// block's signature within the first 13 words.
TEST_F(HostResources, VersionBlockIsResourceOneWithTheFixedBlockUpFront) {
    ASSERT_TRUE(module_);
    const ResourceData version = findResource(module_.get(), MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_GE(version.size, 13u * 4);
    bool signatureFound = false;
    for (int word = 0; word < 13 && !signatureFound; ++word) {
        DWORD value;
        std::memcpy(&value, version.bytes + word * 4, sizeof value);
        signatureFound = value == VS_FFI_SIGNATURE;
    }
    EXPECT_TRUE(signatureFound);
}

TEST(HostVersion, IsOneFourSixEightFourOhFiveForProductAndFile) {
    const std::string path = probePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_NE(0u, size);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));

    // The four numbers are the version's text in order.
    ASSERT_EQ(std::to_string(QM_VERSION_MAJOR) + "." + std::to_string(QM_VERSION_MINOR) + "." +
                  std::to_string(QM_VERSION_BUILD) + "." + std::to_string(QM_VERSION_REVISION),
              QM_VERSION_TEXT);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(MAKELONG(QM_VERSION_MINOR, QM_VERSION_MAJOR), fixed->dwProductVersionMS);
    EXPECT_EQ(MAKELONG(QM_VERSION_REVISION, QM_VERSION_BUILD), fixed->dwProductVersionLS);
    EXPECT_EQ(MAKELONG(QM_VERSION_MINOR, QM_VERSION_MAJOR), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(QM_VERSION_REVISION, QM_VERSION_BUILD), fixed->dwFileVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

    for (const char* name : {"ProductVersion", "FileVersion"}) {
        char* text = nullptr;
        const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueA(&block[0], query.c_str(), reinterpret_cast<void**>(&text), &length)) << name;
        EXPECT_STREQ(QM_VERSION_TEXT, text) << name;
    }
}

}  // namespace
