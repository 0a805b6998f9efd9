#include "host_version_resource.h"

#include <windows.h>

namespace {

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;
// The fixed file information follows the version block's header and key,
// within its first words.
constexpr int kSignatureSearchWords = 13;

}  // namespace

qm::HostVersion readHostVersion() {
    qm::HostVersion version;
    HMODULE module = GetModuleHandleA(nullptr);
    if (!module)
        return version;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const DWORD* words = loaded ? static_cast<const DWORD*>(LockResource(loaded)) : nullptr;
    if (!words)
        return version;
    const DWORD size = SizeofResource(module, resource);
    for (int i = 0; i < kSignatureSearchWords; ++i) {
        if ((i + 1) * sizeof(DWORD) > size)
            break;
        if (words[i] != kFixedFileInfoSignature)
            continue;
        if (i * sizeof(DWORD) + sizeof(VS_FIXEDFILEINFO) <= size) {
            const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(&words[i]);
            version.major = HIWORD(info->dwProductVersionMS);
            version.minor = LOWORD(info->dwProductVersionMS);
            version.build = HIWORD(info->dwProductVersionLS);
            version.revision = LOWORD(info->dwProductVersionLS);
        }
        break;
    }
    FreeResource(loaded);
    return version;
}
