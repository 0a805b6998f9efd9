#include "update_manifest.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Names Windows opens as devices in any folder, with any extension.
bool isDeviceName(std::string_view component) {
    const std::string stem = lowerCase(component.substr(0, component.find('.')));
    static const std::set<std::string> devices = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    if (devices.count(stem))
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

bool isSafeComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..")
        return false;
    if (component.back() == '.' || component.back() == ' ')
        return false;
    for (const char c : component) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return false;
    }
    return !isDeviceName(component);
}

bool readUnsigned(std::string_view text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return true;
}

// The next number of a version, removed with its dot; 0 when none is left.
std::uint64_t takeVersionNumber(std::string_view& version) {
    const std::size_t dot = std::min(version.find('.'), version.size());
    std::uint64_t number = 0;
    readUnsigned(version.substr(0, dot), number);
    version.remove_prefix(std::min(dot + 1, version.size()));
    return number;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "file SIZE HASH PATH": the path is the rest of the line, spaces included.
bool parseFileLine(std::string_view rest, ManifestFile& file, std::string& error) {
    const std::size_t afterSize = rest.find(' ');
    const std::size_t afterHash = afterSize == std::string_view::npos ? afterSize : rest.find(' ', afterSize + 1);
    if (afterHash == std::string_view::npos) {
        error = "file line without size, hash and path";
        return false;
    }
    const std::string_view hash = rest.substr(afterSize + 1, afterHash - afterSize - 1);
    const std::string_view path = rest.substr(afterHash + 1);
    if (!readUnsigned(rest.substr(0, afterSize), file.size)) {
        error = "bad size in file line";
        return false;
    }
    if (hash.size() != 2 * kSha256Bytes || !fromHex(hash, kSha256Bytes, file.sha256)) {
        error = "bad SHA-256 in file line";
        return false;
    }
    if (!isSafeRelativePath(path)) {
        error = "unsafe path " + std::string(path);
        return false;
    }
    file.path = windowsRelativePath(path);
    return true;
}

}  // namespace

bool isManifestVersion(std::string_view version) {
    int numbers = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = std::min(version.find('.', start), version.size());
        const std::string_view number = version.substr(start, dot - start);
        if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string_view::npos ||
            ++numbers > 4)
            return false;
        if (dot == version.size())
            return true;
        start = dot + 1;
    }
}

int compareManifestVersions(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        const std::uint64_t first = takeVersionNumber(a);
        const std::uint64_t second = takeVersionNumber(b);
        if (first != second)
            return first < second ? -1 : 1;
    }
    return 0;
}

bool isSafeRelativePath(std::string_view path) {
    if (path.empty() || isSeparator(path.front()))
        return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        if (!isSafeComponent(path.substr(start, end - start)))
            return false;
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

std::string windowsRelativePath(std::string_view path) {
    std::string converted(path);
    std::replace(converted.begin(), converted.end(), '/', '\\');
    return converted;
}

bool parseManifest(std::string_view text, UpdateManifest& manifest, std::string& error) {
    manifest = UpdateManifest();
    if (text.size() > kManifestMaxBytes) {
        error = "manifest too large";
        return false;
    }
    if (text.empty() || text.back() != '\n') {
        error = "manifest does not end with a line feed";
        return false;
    }
    std::set<std::string> paths = {lowerCase(kManifestFileName), lowerCase(kSignatureFileName)};
    std::uint64_t total = 0;
    bool first = true;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            if (line != kManifestHeader) {
                error = "not an update manifest";
                return false;
            }
            first = false;
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (key == "version") {
            if (!manifest.version.empty()) {
                error = "repeated version";
                return false;
            }
            if (!isManifestVersion(rest)) {
                error = "bad version";
                return false;
            }
            manifest.version = std::string(rest);
        } else if (key == "file") {
            ManifestFile file;
            if (!parseFileLine(rest, file, error))
                return false;
            if (!paths.insert(lowerCase(file.path)).second) {
                error = "repeated or reserved path " + file.path;
                return false;
            }
            total += file.size;
            if (file.size > kUpdateMaxTotalBytes || total > kUpdateMaxTotalBytes) {
                error = "update too large";
                return false;
            }
            manifest.files.push_back(std::move(file));
        } else {
            error = "unknown line " + std::string(line.substr(0, 40));
            return false;
        }
    }
    if (manifest.version.empty() || manifest.files.empty()) {
        error = "manifest without version or files";
        return false;
    }
    return true;
}

std::string formatManifest(const UpdateManifest& manifest) {
    std::string text = std::string(kManifestHeader) + "\n";
    text += "version " + manifest.version + "\n";
    for (const ManifestFile& file : manifest.files)
        text += "file " + std::to_string(file.size) + " " + toHex(file.sha256) + " " + file.path + "\n";
    return text;
}

std::string toHex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

bool fromHex(std::string_view text, std::size_t size, Bytes& bytes) {
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (text.size() != 2 * size)
        return false;
    bytes.assign(size, 0);
    for (std::size_t i = 0; i < size; ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return true;
}
