#pragma once
// A staged update folder, read and checked as a whole before anything of it
// is written: the manifest's signature with the built-in public key, then
// every listed file's size and SHA-256, and that the folder holds nothing
// else. The checked bytes are kept in memory and are what gets written, so a
// file changed in the folder after its check is never copied.
#include <string>
#include <vector>

#include "update_manifest.h"

struct VerifiedUpdate {
    std::string manifestText;  // as signed
    UpdateManifest manifest;
    std::vector<Bytes> contents;  // one per manifest file, in its order
};

// False, with the reason, when `folder` is not an update signed by the key
// in `publicKeyBlob`.
bool readVerifiedUpdate(const std::string& folder, const unsigned char* publicKeyBlob, std::size_t blobSize,
                        VerifiedUpdate& update, std::string& error);

// The version of the update last written into `folder` (its manifest is
// kept there); false when there is none.
bool installedUpdateVersion(const std::string& folder, std::string& version);

// Writes every file of the update below `folder`, each first under a
// temporary name beside its place and then moved there, so that a write that
// fails leaves the folder as it was; then keeps the manifest there too.
// `written` gets each file's full path.
bool writeVerifiedUpdate(const std::string& folder, const VerifiedUpdate& update,
                         std::vector<std::string>& written, std::string& error);
