#pragma once
// One move-only owner for every kind of Win32 handle: the traits say how a
// handle is closed and which value means "none", so a handle cannot be
// closed the wrong way or twice.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type value) : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::invalid(); }

    Type release() { return std::exchange(value_, Traits::invalid()); }

    void reset(Type value = Traits::invalid()) {
        Type old = std::exchange(value_, value);
        if (old != Traits::invalid())
            Traits::close(old);
    }

private:
    Type value_ = Traits::invalid();
};

template <typename T, void (*Close)(T)>
struct NullInvalidTraits {
    using Type = T;
    static Type invalid() { return nullptr; }
    static void close(Type value) { Close(value); }
};

namespace handle_close {
inline void kernel(HANDLE h) { ::CloseHandle(h); }
inline void key(HKEY k) { ::RegCloseKey(k); }
inline void library(HMODULE m) { ::FreeLibrary(m); }
inline void service(SC_HANDLE s) { ::CloseServiceHandle(s); }
inline void gdiObject(HGDIOBJ o) { ::DeleteObject(o); }
inline void window(HWND w) { ::DestroyWindow(w); }
inline void icon(HICON i) { ::DestroyIcon(i); }
inline void screenDC(HDC dc) { ::ReleaseDC(nullptr, dc); }  // from GetDC(nullptr)
inline void memoryDC(HDC dc) { ::DeleteDC(dc); }  // from CreateCompatibleDC
}  // namespace handle_close

struct FileHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type value) { ::CloseHandle(value); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type value) { ::FindClose(value); }
};

// Threads, events, processes, mappings: null means none.
using UniqueKernelHandle = UniqueHandle<NullInvalidTraits<HANDLE, handle_close::kernel>>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueKey = UniqueHandle<NullInvalidTraits<HKEY, handle_close::key>>;
using UniqueModule = UniqueHandle<NullInvalidTraits<HMODULE, handle_close::library>>;
using UniqueServiceHandle = UniqueHandle<NullInvalidTraits<SC_HANDLE, handle_close::service>>;
using UniqueGdiObject = UniqueHandle<NullInvalidTraits<HGDIOBJ, handle_close::gdiObject>>;
using UniqueWindow = UniqueHandle<NullInvalidTraits<HWND, handle_close::window>>;
using UniqueIcon = UniqueHandle<NullInvalidTraits<HICON, handle_close::icon>>;
using UniqueScreenDC = UniqueHandle<NullInvalidTraits<HDC, handle_close::screenDC>>;
using UniqueMemoryDC = UniqueHandle<NullInvalidTraits<HDC, handle_close::memoryDC>>;
