#include "library_preload.h"

#include <windows.h>

#include <utility>

#include "debug_log.h"
#include "library_path.h"
#include "please_wait_thread.h"
#include "preload_table.h"

void preloadLibraries(const std::string& directory) {
    if (PleaseWaitDialog* dialog = activeWaitDialog.load())
        dialog->setProgressRange(preloadRowCount());

    for (PreloadRow* row = preloadTable; row->fileName; ++row) {
        if (row->module)
            debugLog(kLogWarning, "Preload not undone for library: %s", row->fileName);
        UniqueModule loaded = loadLibraryFile(joinLibraryPath(directory, row->fileName));
        const DWORD error = GetLastError();
        // Assigning drops the reference an undone preload still held.
        row->module = std::move(loaded);
        if (!row->module) {
            debugLog(kLogWarning, "Preload failed for library: %s (err %d)", row->fileName, static_cast<int>(error));
            continue;
        }
        if (PleaseWaitDialog* dialog = activeWaitDialog.load())
            dialog->reportLoaded(row->fileName);
    }
}

void releasePreloadedLibraries() {
    for (PreloadRow* row = preloadTable; row->fileName; ++row) {
        if (row->module && !FreeLibrary(row->module.release()))
            debugLog(kLogWarning, "Unload failed for library: %s", row->fileName);
        row->module.reset();
    }
}
