// A GUI program that carries the host's resources and does nothing else, so
// that the resource tests look at exactly what quorvelmeet.exe carries.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
