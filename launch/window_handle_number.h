#pragma once
// Window handles given as numbers ("owner", qmparams). The host is a 32-bit
// program, so a handle is the low 32 bits of the number on every build: the
// native tools then show what the host makes of the same text.
#include <cstdint>

#include "qm/launch_parameters.h"

namespace qm {

inline WindowHandle windowHandleFromNumber(uint64_t number) {
    return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(static_cast<uint32_t>(number)));
}

inline uint32_t windowHandleNumber(WindowHandle handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace qm
