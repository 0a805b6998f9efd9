#include "product_library_loader.h"

#include "debug_log.h"
#include "entry_points.h"
#include "library_path.h"
#include "library_preload.h"
#include "plain_file_name.h"
#include "please_wait_session.h"
#include "unique_handle.h"

namespace {

constexpr const char* kLibraryExtension = ".dll";

// The name comes from the launch parameters, which any web page may choose:
// its file may lie in the library directory and nowhere else.
UniqueModule loadNamedOrFallback(const std::string& name, const std::string& fallbackFileName,
                                 const std::string& directory) {
    UniqueModule module;
    const std::string fileName = name + kLibraryExtension;
    if (isPlainFileName(fileName))
        module = loadLibraryFile(joinLibraryPath(directory, fileName));
    else
        debugLog(kLogWarning, "Library name is not a plain file name: %s", name.c_str());
    if (module)
        return module;
    module = loadLibraryFile(joinLibraryPath(directory, fallbackFileName));
    if (!module) {
        const DWORD error = GetLastError();
        debugLog(kLogError, "Failed to load library (err %d)", static_cast<int>(error));
    }
    return module;
}

}  // namespace

HMODULE loadProductLibrary(const std::string& name, const std::string& fallbackFileName,
                           const std::string& directory) {
    PleaseWaitSession pleaseWait;
    preloadLibraries(directory);
    UniqueModule module = loadNamedOrFallback(name, fallbackFileName, directory);
    // The product library's own imports keep loaded whatever it needs.
    releasePreloadedLibraries();
    pleaseWait.end();
    return module.release();
}

void unloadProductLibrary(HMODULE module) {
    unbindEntryPoints();
    UniqueModule released(module);
}
