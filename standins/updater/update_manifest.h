#pragma once
// The manifest of a signed update folder, shared by the signing tool and the
// updaters. It is a text of lines ending in a line feed:
//
//   qm-update-manifest 1
//   version 1.3.0
//   file 123456 <64 lower-case hex digits of SHA-256> qo.dll
//   file 42 <...> sub\feed.txt
//
// Beside it in the folder lies the signature file: the 64 bytes r||s of an
// ECDSA P-256 signature over the SHA-256 of the manifest's bytes, in hex.
// Only the listed files belong to the update; the folder must hold nothing else.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char kManifestFileName[] = "update-manifest.txt";
constexpr char kSignatureFileName[] = "update-manifest.sig";
constexpr char kManifestHeader[] = "qm-update-manifest 1";
constexpr std::size_t kSha256Bytes = 32;
constexpr std::size_t kSignatureBytes = 64;
// A manifest larger than this is not read at all.
constexpr std::size_t kManifestMaxBytes = 1 << 20;
// What the updaters hold in memory between checking a file and writing it.
constexpr std::uint64_t kUpdateMaxTotalBytes = 1ull << 30;

using Bytes = std::vector<unsigned char>;

struct ManifestFile {
    std::string path;  // relative, backslashes
    std::uint64_t size = 0;
    Bytes sha256;
};

struct UpdateManifest {
    std::string version;
    std::vector<ManifestFile> files;
};

// Whether `path` can only name a file inside the folder it is relative to:
// not empty, no drive, share, device or absolute path, no "." or ".."
// component, no empty component, no component that Windows would shorten
// (trailing dot or space) or read as a device (CON, NUL, COM1...), no
// wildcard, quote, angle bracket, bar, colon or control character. Slashes
// and backslashes both separate.
bool isSafeRelativePath(std::string_view path);

// The same path with slashes turned into backslashes.
std::string windowsRelativePath(std::string_view path);

// Whether `version` is one to four numbers (up to nine digits each)
// separated by dots, such as 1.3.0.
bool isManifestVersion(std::string_view version);

// Negative, zero or positive as `a` is older than, the same as or newer
// than `b`; both are manifest versions, a missing number counts as 0.
int compareManifestVersions(std::string_view a, std::string_view b);

// Strict: the header first, then one version and at least one file line, nothing unknown, no unsafe or repeated path (letter case
// ignored), no file of the updaters' own names, sizes within the limit, a
// version as above.
// False with the reason otherwise.
bool parseManifest(std::string_view text, UpdateManifest& manifest, std::string& error);

// The manifest's text, as parseManifest reads it.
std::string formatManifest(const UpdateManifest& manifest);

std::string toHex(const Bytes& bytes);
// Exactly `size` bytes of hex digits (either case) and at most one final
// line feed; false otherwise.
bool fromHex(std::string_view text, std::size_t size, Bytes& bytes);
