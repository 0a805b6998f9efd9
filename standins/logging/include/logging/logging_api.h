#pragma once
// Export and import markers of the two logging DLLs: rbase.dll holds the
// logger, the layouts and the appender base; rmain.dll the file appender.
// Programs that link the sources statically define LOGGING_STATIC.
#if defined(LOGGING_STATIC)
#define RBASE_API
#define RMAIN_API
#else
#if defined(RBASE_BUILD)
#define RBASE_API __declspec(dllexport)
#else
#define RBASE_API __declspec(dllimport)
#endif
#if defined(RMAIN_BUILD)
#define RMAIN_API __declspec(dllexport)
#else
#define RMAIN_API __declspec(dllimport)
#endif
#endif

#include <cstddef>

namespace logging {

enum class Level : unsigned { Warning = 4, Error = 8 };

// Layouts and appenders are allocated and freed by rbase.dll, whoever writes
// `new`: the logger frees appenders that were handed to it, and an appender
// frees its layout, so the heap of the caller never matters.
class RBASE_API HeapObject {
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* object) noexcept;
};

}  // namespace logging
