// An engine or feature library of the preload table: the host only loads and
// releases it, so loading is all it does.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
