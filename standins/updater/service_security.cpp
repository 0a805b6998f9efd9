#include "service_security.h"

#include <sddl.h>

#include "unique_handle.h"

namespace {

// RP is SERVICE_START.
constexpr char kServiceSecurity[] =
    "D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;RP;;;IU)";

void freeLocal(void* memory) { LocalFree(memory); }
using UniqueLocalMemory = UniqueHandle<NullInvalidTraits<void*, freeLocal>>;

}  // namespace

std::vector<BYTE> updaterServiceSecurity() {
    PSECURITY_DESCRIPTOR made = nullptr;
    ULONG size = 0;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kServiceSecurity, SDDL_REVISION_1, &made, &size))
        return {};
    const UniqueLocalMemory descriptor(made);
    const BYTE* bytes = static_cast<const BYTE*>(descriptor.get());
    return std::vector<BYTE>(bytes, bytes + size);
}
