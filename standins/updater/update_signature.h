#pragma once
// The platform's own cryptography (Windows CNG) for the updaters: SHA-256
// and the check of a manifest's ECDSA P-256 signature. bcrypt.dll is not one
// of the DLLs Windows always takes from its own folder, so it is loaded at
// run time from the system folder only: the elevated updater runs from a
// folder its user can write to.
#include <string>

#include "update_manifest.h"

// False when CNG is not available or fails.
bool sha256Of(const void* data, std::size_t size, Bytes& digest);

// Whether `signature` (r||s) signs `manifest` with the key in `publicKeyBlob`
// (a BCRYPT_ECCPUBLIC_BLOB of a P-256 key). False, with the reason, when it
// does not or cannot be checked.
bool verifyManifestSignature(const std::string& manifest, const Bytes& signature,
                             const unsigned char* publicKeyBlob, std::size_t blobSize, std::string& error);
