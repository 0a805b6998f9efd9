#include "logging/logging_api.h"

#include <cstdlib>
#include <new>

namespace logging {

void* HeapObject::operator new(std::size_t size) {
    if (void* object = std::malloc(size ? size : 1))
        return object;
    throw std::bad_alloc();
}

void HeapObject::operator delete(void* object) noexcept {
    std::free(object);
}

}  // namespace logging
