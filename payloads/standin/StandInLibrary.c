/* Stand-in for one of the browser's libraries: a valid DLL that loads and
   answers one call, so that the installer carries real libraries. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI ZarvVersion(void) {
    return MAKELONG(0, 0x0101); /* 1.1 */
}
