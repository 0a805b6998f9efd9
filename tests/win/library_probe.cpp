// A tiny library that says which file it was built as, so that a test can
// tell which of several candidate files a loader picked.
#include <windows.h>

extern "C" __declspec(dllexport) const char* __cdecl probeIdentity() {
    return QM_PROBE_IDENTITY;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
