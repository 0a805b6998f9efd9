#include "signed_update.h"

#include <windows.h>

#include <algorithm>
#include <set>

#include "unique_handle.h"
#include "update_signature.h"
#include "updater_paths.h"

namespace {

// Beside each target while it is written; removed when the update fails.
constexpr char kPartialSuffix[] = ".qmpartial";
constexpr DWORD kReadChunk = 1 << 20;

std::string lowerCase(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The file opened for reading, and its size; none when it cannot be.
UniqueFileHandle openForReading(const std::string& path, std::uint64_t& size) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER actual = {};
    if (!file || !GetFileSizeEx(file.get(), &actual))
        return UniqueFileHandle();
    size = static_cast<std::uint64_t>(actual.QuadPart);
    return file;
}

// `size` bytes from the start of the open file.
bool readAll(HANDLE file, std::uint64_t size, Bytes& contents) {
    contents.assign(static_cast<std::size_t>(size), 0);
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(kReadChunk, contents.size() - done));
        DWORD read = 0;
        if (!ReadFile(file, contents.data() + done, wanted, &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

// Exactly `size` bytes of the file, or false when it holds another number.
bool readExactly(const std::string& path, std::uint64_t size, Bytes& contents, std::string& error) {
    std::uint64_t actual = 0;
    const UniqueFileHandle file = openForReading(path, actual);
    if (file && actual != size) {
        error = "size of " + path + " differs from the manifest";
        return false;
    }
    if (!file || !readAll(file.get(), size, contents)) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool readText(const std::string& path, std::size_t limit, std::string& text, std::string& error) {
    std::uint64_t size = 0;
    const UniqueFileHandle file = openForReading(path, size);
    if (!file) {
        error = "no " + path;
        return false;
    }
    Bytes contents;
    if (size > limit) {
        error = path + " is too large";
        return false;
    }
    if (!readAll(file.get(), size, contents)) {
        error = "cannot read " + path;
        return false;
    }
    text.assign(contents.begin(), contents.end());
    return true;
}

// Every file below `folder` (relative paths, letter case lowered) goes to
// `files`; a link or junction is not followed and voids the update.
bool listFiles(const std::string& folder, const std::string& relative, std::set<std::string>& files,
               std::string& error) {
    WIN32_FIND_DATAA found = {};
    const std::string here = relative.empty() ? folder : fileInDirectory(folder, relative.c_str());
    UniqueFindHandle search(FindFirstFileA(fileInDirectory(here, "*").c_str(), &found));
    if (!search)
        return true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            error = "link in the update folder: " + path;
            return false;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!listFiles(folder, path, files, error))
                return false;
        } else {
            files.insert(lowerCase(path));
        }
    } while (FindNextFileA(search.get(), &found));
    return true;
}

bool writeWhole(const std::string& path, const Bytes& contents) {
    UniqueFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::size_t done = 0;
    while (done < contents.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(kReadChunk, contents.size() - done));
        DWORD written = 0;
        if (!WriteFile(file.get(), contents.data() + done, chunk, &written, nullptr) || written != chunk)
            return false;
        done += written;
    }
    return FlushFileBuffers(file.get()) != FALSE;
}

// The folders on the way to `relative` below `folder`.
void createFoldersOf(const std::string& folder, const std::string& relative) {
    for (std::size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryA(fileInDirectory(folder, relative.substr(0, at).c_str()).c_str(), nullptr);
}

}  // namespace

bool readVerifiedUpdate(const std::string& folder, const unsigned char* publicKeyBlob, std::size_t blobSize,
                        VerifiedUpdate& update, std::string& error) {
    update = VerifiedUpdate();
    std::string& manifestText = update.manifestText;
    std::string signatureText;
    Bytes signature;
    if (!readText(fileInDirectory(folder, kManifestFileName), kManifestMaxBytes, manifestText, error) ||
        !readText(fileInDirectory(folder, kSignatureFileName), 4 * kSignatureBytes, signatureText, error))
        return false;
    if (!fromHex(signatureText, kSignatureBytes, signature)) {
        error = "the signature file is not a signature";
        return false;
    }
    if (!verifyManifestSignature(manifestText, signature, publicKeyBlob, blobSize, error))
        return false;
    // Only a text the publisher signed is parsed.
    if (!parseManifest(manifestText, update.manifest, error))
        return false;

    std::set<std::string> present;
    if (!listFiles(folder, std::string(), present, error))
        return false;
    present.erase(lowerCase(kManifestFileName));
    present.erase(lowerCase(kSignatureFileName));
    for (const ManifestFile& file : update.manifest.files)
        present.erase(lowerCase(file.path));
    if (!present.empty()) {
        error = "file not in the manifest: " + *present.begin();
        return false;
    }

    for (const ManifestFile& file : update.manifest.files) {
        Bytes contents;
        Bytes digest;
        if (!readExactly(fileInDirectory(folder, file.path.c_str()), file.size, contents, error))
            return false;
        if (!sha256Of(contents.data(), contents.size(), digest)) {
            error = "SHA-256 failed";
            return false;
        }
        if (digest != file.sha256) {
            error = "SHA-256 of " + file.path + " differs from the manifest";
            return false;
        }
        update.contents.push_back(std::move(contents));
    }
    return true;
}

bool installedUpdateVersion(const std::string& folder, std::string& version) {
    std::string text;
    std::string error;
    UpdateManifest installed;
    if (!readText(fileInDirectory(folder, kManifestFileName), kManifestMaxBytes, text, error) ||
        !parseManifest(text, installed, error))
        return false;
    version = installed.version;
    return true;
}

bool writeVerifiedUpdate(const std::string& folder, const VerifiedUpdate& update,
                         std::vector<std::string>& written, std::string& error) {
    // The manifest goes last: it records the version only once every file is in place.
    std::vector<std::pair<std::string, const Bytes*>> files;
    for (std::size_t i = 0; i < update.manifest.files.size(); ++i)
        files.emplace_back(update.manifest.files[i].path, &update.contents[i]);
    const Bytes manifest(update.manifestText.begin(), update.manifestText.end());
    files.emplace_back(kManifestFileName, &manifest);

    std::vector<std::string> targets;
    bool ok = true;
    for (std::size_t i = 0; ok && i < files.size(); ++i) {
        const std::string& relative = files[i].first;
        const std::string target = fileInDirectory(folder, relative.c_str());
        createFoldersOf(folder, relative);
        targets.push_back(target);
        if (target.size() + sizeof kPartialSuffix > MAX_PATH || !writeWhole(target + kPartialSuffix, *files[i].second)) {
            error = "cannot write " + target + " (" + std::to_string(GetLastError()) + ")";
            ok = false;
        }
    }
    for (std::size_t i = 0; ok && i < targets.size(); ++i) {
        if (!MoveFileExA((targets[i] + kPartialSuffix).c_str(), targets[i].c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = "cannot replace " + targets[i] + " (" + std::to_string(GetLastError()) + ")";
            ok = false;
        } else if (i < update.manifest.files.size()) {
            written.push_back(targets[i]);
        }
    }
    for (const std::string& target : targets)
        DeleteFileA((target + kPartialSuffix).c_str());
    return ok;
}
