// qmsign: makes the publisher's key pair and signs update folders.
//
//   qmsign keygen KEY.pem                       a new ECDSA P-256 private key
//   qmsign public-key KEY.pem HEADER.h          its public key, as the updaters build it in
//   qmsign sign FOLDER KEY.pem VERSION          lists every file of FOLDER in its manifest
//                                               and signs that manifest
//   qmsign sign-manifest FOLDER KEY.pem         signs the manifest already in FOLDER as it is
//
// The signature is ECDSA P-256 over SHA-256, stored as r||s in hex: the form
// Windows CNG verifies.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "update_manifest.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCoordinateBytes = 32;
constexpr char kCurve[] = "prime256v1";

struct Failure {
    std::string what;
};

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX, EVP_MD_CTX_free>>;
using Signature = std::unique_ptr<ECDSA_SIG, Deleter<ECDSA_SIG, ECDSA_SIG_free>>;
using Number = std::unique_ptr<BIGNUM, Deleter<BIGNUM, BN_free>>;

void closeFile(FILE* file) { std::fclose(file); }
using File = std::unique_ptr<FILE, Deleter<FILE, closeFile>>;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure{"cannot read " + path.string()};
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const fs::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush())
        throw Failure{"cannot write " + path.string()};
}

Key readKey(const fs::path& path) {
    File file(std::fopen(path.string().c_str(), "rb"));
    if (!file)
        throw Failure{"cannot read " + path.string()};
    Key key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    char group[64] = {};
    if (!key || !EVP_PKEY_get_group_name(key.get(), group, sizeof group, nullptr) ||
        std::strcmp(group, kCurve) != 0)
        throw Failure{path.string() + " is not an ECDSA P-256 private key"};
    return key;
}

Bytes sha256(const std::string& data) {
    Bytes digest(kSha256Bytes);
    unsigned int length = 0;
    if (!EVP_Digest(data.data(), data.size(), digest.data(), &length, EVP_sha256(), nullptr) ||
        length != kSha256Bytes)
        throw Failure{"SHA-256 failed"};
    return digest;
}

Bytes fixedWidth(const BIGNUM* number) {
    Bytes bytes(kCoordinateBytes);
    if (BN_bn2binpad(number, bytes.data(), static_cast<int>(bytes.size())) != static_cast<int>(bytes.size()))
        throw Failure{"number too large for P-256"};
    return bytes;
}

// r||s of an ECDSA signature over SHA-256 of `data`.
Bytes sign(EVP_PKEY* key, const std::string& data) {
    DigestContext context(EVP_MD_CTX_new());
    std::size_t length = 0;
    if (!context || !EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key) ||
        !EVP_DigestSign(context.get(), nullptr, &length,
                        reinterpret_cast<const unsigned char*>(data.data()), data.size()))
        throw Failure{"cannot sign"};
    Bytes der(length);
    if (!EVP_DigestSign(context.get(), der.data(), &length,
                        reinterpret_cast<const unsigned char*>(data.data()), data.size()))
        throw Failure{"cannot sign"};
    const unsigned char* at = der.data();
    Signature signature(d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(length)));
    if (!signature)
        throw Failure{"cannot read the signature"};
    Bytes raw = fixedWidth(ECDSA_SIG_get0_r(signature.get()));
    const Bytes s = fixedWidth(ECDSA_SIG_get0_s(signature.get()));
    raw.insert(raw.end(), s.begin(), s.end());
    return raw;
}

void signManifest(const fs::path& folder, EVP_PKEY* key) {
    const std::string manifest = readFile(folder / kManifestFileName);
    writeFile(folder / kSignatureFileName, toHex(sign(key, manifest)) + "\n");
}

void keygen(const fs::path& path) {
    Key key(EVP_EC_gen(kCurve));
    if (!key)
        throw Failure{"cannot make a key"};
    File file(std::fopen(path.string().c_str(), "wb"));
    if (!file || !PEM_write_PrivateKey(file.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr))
        throw Failure{"cannot write " + path.string()};
}

// BCRYPT_ECCPUBLIC_BLOB of a P-256 key: magic "ECS1", key length 32, X, Y.
void publicKeyHeader(const fs::path& keyPath, const fs::path& header) {
    const Key key = readKey(keyPath);
    BIGNUM* x = nullptr;
    BIGNUM* y = nullptr;
    const bool read = EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_EC_PUB_X, &x) &&
                      EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_EC_PUB_Y, &y);
    const Number ownX(x), ownY(y);
    if (!read)
        throw Failure{"cannot read the public key"};
    Bytes blob = {'E', 'C', 'S', '1', kCoordinateBytes, 0, 0, 0};
    for (const BIGNUM* coordinate : {x, y}) {
        const Bytes bytes = fixedWidth(coordinate);
        blob.insert(blob.end(), bytes.begin(), bytes.end());
    }
    std::ostringstream text;
    text << "#pragma once\n// Made by qmsign: the public key every update's signature is checked with.\n"
         << "constexpr unsigned char kUpdatePublicKeyBlob[" << blob.size() << "] = {";
    for (std::size_t i = 0; i < blob.size(); ++i)
        text << (i % 12 == 0 ? "\n    " : " ") << static_cast<unsigned>(blob[i]) << ",";
    text << "\n};\n";
    writeFile(header, text.str());
}

void signFolder(const fs::path& folder, const fs::path& keyPath, const std::string& version) {
    const Key key = readKey(keyPath);
    UpdateManifest manifest;
    manifest.version = version;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory())
            continue;
        const std::string relative = windowsRelativePath(entry.path().lexically_relative(folder).generic_string());
        if (relative == kManifestFileName || relative == kSignatureFileName)
            continue;
        if (!entry.is_regular_file() || entry.is_symlink())
            throw Failure{relative + " is not a plain file"};
        if (!isSafeRelativePath(relative))
            throw Failure{relative + " is not a name an update may hold"};
        const std::string contents = readFile(entry.path());
        manifest.files.push_back({relative, contents.size(), sha256(contents)});
    }
    std::sort(manifest.files.begin(), manifest.files.end(),
              [](const ManifestFile& a, const ManifestFile& b) { return a.path < b.path; });
    const std::string text = formatManifest(manifest);
    // What the updaters would refuse is not signed.
    UpdateManifest check;
    std::string error;
    if (!parseManifest(text, check, error))
        throw Failure{error};
    writeFile(folder / kManifestFileName, text);
    signManifest(folder, key.get());
}

int usage() {
    std::cerr << "usage: qmsign keygen KEY.pem\n"
                 "       qmsign public-key KEY.pem HEADER.h\n"
                 "       qmsign sign FOLDER KEY.pem VERSION\n"
                 "       qmsign sign-manifest FOLDER KEY.pem\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "keygen" && argc == 3)
            keygen(argv[2]);
        else if (command == "public-key" && argc == 4)
            publicKeyHeader(argv[2], argv[3]);
        else if (command == "sign" && argc == 5)
            signFolder(argv[2], argv[3], argv[4]);
        else if (command == "sign-manifest" && argc == 4)
            signManifest(argv[2], readKey(argv[3]).get());
        else
            return usage();
    } catch (const Failure& failure) {
        std::cerr << "qmsign: " << failure.what << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "qmsign: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
