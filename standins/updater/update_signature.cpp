#include "update_signature.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>

#include "unique_handle.h"

namespace {

// The CNG functions the updaters call, from the system folder's bcrypt.dll.
struct Cng {
    UniqueModule module;
    decltype(&BCryptOpenAlgorithmProvider) openAlgorithm = nullptr;
    decltype(&BCryptCloseAlgorithmProvider) closeAlgorithm = nullptr;
    decltype(&BCryptCreateHash) createHash = nullptr;
    decltype(&BCryptHashData) hashData = nullptr;
    decltype(&BCryptFinishHash) finishHash = nullptr;
    decltype(&BCryptDestroyHash) destroyHash = nullptr;
    decltype(&BCryptImportKeyPair) importKeyPair = nullptr;
    decltype(&BCryptDestroyKey) destroyKey = nullptr;
    decltype(&BCryptVerifySignature) verifySignature = nullptr;

    bool complete() const {
        return openAlgorithm && closeAlgorithm && createHash && hashData && finishHash && destroyHash && importKeyPair && destroyKey && verifySignature;
    }
};

template <typename Function>
void bind(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded once; the updaters are single-threaded.
const Cng* cng() {
    static Cng loaded;
    static bool tried = false;
    if (!tried) {
        tried = true;
        loaded.module.reset(LoadLibraryExA("bcrypt.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (HMODULE module = loaded.module.get()) {
            bind(module, "BCryptOpenAlgorithmProvider", loaded.openAlgorithm);
            bind(module, "BCryptCloseAlgorithmProvider", loaded.closeAlgorithm);
            bind(module, "BCryptCreateHash", loaded.createHash);
            bind(module, "BCryptHashData", loaded.hashData);
            bind(module, "BCryptFinishHash", loaded.finishHash);
            bind(module, "BCryptDestroyHash", loaded.destroyHash);
            bind(module, "BCryptImportKeyPair", loaded.importKeyPair);
            bind(module, "BCryptDestroyKey", loaded.destroyKey);
            bind(module, "BCryptVerifySignature", loaded.verifySignature);
        }
    }
    return loaded.complete() ? &loaded : nullptr;
}

// Closed through the same bcrypt.dll: a handle exists only once it is loaded.
void closeAlgorithm(BCRYPT_ALG_HANDLE algorithm) { cng()->closeAlgorithm(algorithm, 0); }
void destroyKey(BCRYPT_KEY_HANDLE key) { cng()->destroyKey(key); }
void destroyHash(BCRYPT_HASH_HANDLE hash) { cng()->destroyHash(hash); }
using UniqueAlgorithm = UniqueHandle<NullInvalidTraits<BCRYPT_ALG_HANDLE, closeAlgorithm>>;
using UniqueKeyHandle = UniqueHandle<NullInvalidTraits<BCRYPT_KEY_HANDLE, destroyKey>>;
using UniqueHash = UniqueHandle<NullInvalidTraits<BCRYPT_HASH_HANDLE, destroyHash>>;

UniqueAlgorithm openAlgorithm(const Cng& functions, const wchar_t* name) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(functions.openAlgorithm(&algorithm, name, nullptr, 0)))
        return UniqueAlgorithm();
    return UniqueAlgorithm(algorithm);
}

}  // namespace

bool sha256Of(const void* data, std::size_t size, Bytes& digest) {
    const Cng* functions = cng();
    if (!functions)
        return false;
    const UniqueAlgorithm sha256 = openAlgorithm(*functions, BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE created = nullptr;
    if (!sha256 || !BCRYPT_SUCCESS(functions->createHash(sha256.get(), &created, nullptr, 0, nullptr, 0, 0)))
        return false;
    const UniqueHash hash(created);
    digest.assign(kSha256Bytes, 0);
    return BCRYPT_SUCCESS(functions->hashData(hash.get(), static_cast<unsigned char*>(const_cast<void*>(data)),
                                              static_cast<ULONG>(size), 0)) &&
           BCRYPT_SUCCESS(functions->finishHash(hash.get(), digest.data(), kSha256Bytes, 0));
}

bool verifyManifestSignature(const std::string& manifest, const Bytes& signature,
                             const unsigned char* publicKeyBlob, std::size_t blobSize, std::string& error) {
    const Cng* functions = cng();
    if (!functions) {
        error = "no CNG (bcrypt.dll) in the system folder";
        return false;
    }
    Bytes digest;
    if (!sha256Of(manifest.data(), manifest.size(), digest)) {
        error = "SHA-256 failed";
        return false;
    }
    const UniqueAlgorithm ecdsa = openAlgorithm(*functions, BCRYPT_ECDSA_P256_ALGORITHM);
    BCRYPT_KEY_HANDLE imported = nullptr;
    if (!ecdsa || !BCRYPT_SUCCESS(functions->importKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported,
                                                           const_cast<unsigned char*>(publicKeyBlob),
                                                           static_cast<ULONG>(blobSize), 0))) {
        error = "the built-in public key cannot be imported";
        return false;
    }
    const UniqueKeyHandle key(imported);
    const NTSTATUS status = functions->verifySignature(key.get(), nullptr, digest.data(), digest.size(),
                                                       const_cast<unsigned char*>(signature.data()),
                                                       static_cast<ULONG>(signature.size()), 0);
    if (!BCRYPT_SUCCESS(status)) {
        char text[64];
        std::snprintf(text, sizeof text, "bad signature (0x%08lX)", static_cast<unsigned long>(status));
        error = text;
        return false;
    }
    return true;
}
