#include "update_signature.h"

#include <windows.h>
#include <bcrypt.h>

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

class Algorithm {
public:
    Algorithm(const Cng& cng, const wchar_t* name) : cng_(cng) {
        if (!BCRYPT_SUCCESS(cng.openAlgorithm(&handle_, name, nullptr, 0)))
            handle_ = nullptr;
    }
    ~Algorithm() {
        if (handle_)
            cng_.closeAlgorithm(handle_, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    const Cng& cng_;
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class PublicKey {
public:
    PublicKey(const Cng& cng, const Algorithm& algorithm, const unsigned char* blob, std::size_t size)
        : cng_(cng) {
        if (!algorithm.get() ||
            !BCRYPT_SUCCESS(cng.importKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle_,
                                              const_cast<unsigned char*>(blob), static_cast<ULONG>(size), 0)))
            handle_ = nullptr;
    }
    ~PublicKey() {
        if (handle_)
            cng_.destroyKey(handle_);
    }
    PublicKey(const PublicKey&) = delete;
    PublicKey& operator=(const PublicKey&) = delete;
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    const Cng& cng_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

}  // namespace

bool sha256Of(const void* data, std::size_t size, Bytes& digest) {
    const Cng* functions = cng();
    if (!functions)
        return false;
    const Algorithm sha256(*functions, BCRYPT_SHA256_ALGORITHM);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!sha256.get() || !BCRYPT_SUCCESS(functions->createHash(sha256.get(), &hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    digest.assign(kSha256Bytes, 0);
    const bool hashed =
        BCRYPT_SUCCESS(functions->hashData(hash, static_cast<unsigned char*>(const_cast<void*>(data)),
                                           static_cast<ULONG>(size), 0)) &&
        BCRYPT_SUCCESS(functions->finishHash(hash, digest.data(), kSha256Bytes, 0));
    functions->destroyHash(hash);
    return hashed;
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
    const Algorithm ecdsa(*functions, BCRYPT_ECDSA_P256_ALGORITHM);
    const PublicKey key(*functions, ecdsa, publicKeyBlob, blobSize);
    if (!key.get()) {
        error = "the built-in public key cannot be imported";
        return false;
    }
    const NTSTATUS status = functions->verifySignature(key.get(), nullptr, digest.data(), digest.size(),
                                                       const_cast<unsigned char*>(signature.data()),
                                                       static_cast<ULONG>(signature.size()), 0);
    if (!BCRYPT_SUCCESS(status)) {
        char text[64];
        wsprintfA(text, "bad signature (0x%08lX)", static_cast<unsigned long>(status));
        error = text;
        return false;
    }
    return true;
}
