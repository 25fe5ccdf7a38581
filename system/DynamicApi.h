#pragma once

#include <windows.h>

#include <commctrl.h>
#include <dwmapi.h>
#include <oleacc.h>
#include <psapi.h>
#include <restartmanager.h>
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <initializer_list>

// Loads a library of the system directory by its full path, never from the
// installer's own folder, where a planted DLL of the same name could be
// waiting. The libraries it imports are looked up from the system directory
// first too. Null when the system has no such library.
HMODULE LoadSystemLibrary(const wchar_t* library);

// The function of that name in `module`, or where none is given in the system
// library (loaded from the system directory if need be); null where there is
// none.
FARPROC LateFunction(HMODULE module, const wchar_t* library, const char* name);

// Windows releases as the list compares them: major and minor version, and
// service pack.
constexpr unsigned WindowsRelease(unsigned major, unsigned minor, unsigned servicePack = 0) {
    return major << 16 | minor << 8 | servicePack;
}

// Every function that the installer binds at run time, typed from the SDK's
// own declaration: those that Windows 2000 lacks, and those of libraries
// loaded only when they are needed, each with the release that brought it
// (the default directories came with 8: 7 and Vista have them only with an
// update, which is not counted on).
// Each is looked up at its use, which is rare; null where the system has none.
#define ZARVO_LATE_BOUND(F)                                              \
    F(L"kernel32.dll", SetDefaultDllDirectories, WindowsRelease(6, 2))   \
    F(L"kernel32.dll", SetDllDirectoryW, WindowsRelease(5, 1, 1))        \
    F(L"kernel32.dll", GetCurrentActCtx, WindowsRelease(5, 1))           \
    F(L"kernel32.dll", CreateToolhelp32Snapshot, WindowsRelease(5, 0))   \
    F(L"kernel32.dll", Process32FirstW, WindowsRelease(5, 0))            \
    F(L"kernel32.dll", Process32NextW, WindowsRelease(5, 0))             \
    F(L"kernel32.dll", ProcessIdToSessionId, WindowsRelease(5, 0))       \
    F(L"kernel32.dll", IsWow64Process, WindowsRelease(5, 1, 2))          \
    F(L"advapi32.dll", RegDeleteKeyExW, WindowsRelease(5, 2))            \
    F(L"wtsapi32.dll", WTSQueryUserToken, WindowsRelease(5, 1))          \
    F(L"userenv.dll", CreateEnvironmentBlock, WindowsRelease(5, 0))      \
    F(L"userenv.dll", DestroyEnvironmentBlock, WindowsRelease(5, 0))     \
    F(L"psapi.dll", GetModuleFileNameExW, WindowsRelease(5, 0))          \
    F(L"dwmapi.dll", DwmExtendFrameIntoClientArea, WindowsRelease(6, 0)) \
    F(L"comctl32.dll", InitCommonControlsEx, WindowsRelease(5, 0))       \
    F(L"oleacc.dll", CreateStdAccessibleObject, WindowsRelease(5, 0))    \
    F(L"oleacc.dll", LresultFromObject, WindowsRelease(5, 0))            \
    F(L"rstrtmgr.dll", RmStartSession, WindowsRelease(6, 0))             \
    F(L"rstrtmgr.dll", RmEndSession, WindowsRelease(6, 0))               \
    F(L"rstrtmgr.dll", RmRegisterResources, WindowsRelease(6, 0))        \
    F(L"rstrtmgr.dll", RmGetList, WindowsRelease(6, 0))

namespace Late {

#ifdef ZARVO_OLDER_WINDOWS
// The test build's copy of the installer's code can be run as an older
// Windows would run it: what came after that release is withheld, and so is
// any function named besides, and the version is that release's.
struct OlderWindows {
    DWORD version;     // as GetVersion tells it: build, minor, major
    unsigned release;  // WindowsRelease of it
};
inline constexpr OlderWindows kWindows2000{0x08930005, WindowsRelease(5, 0, 4)};   // 5.0.2195 SP4
inline constexpr OlderWindows kWindowsXP{0x0A280105, WindowsRelease(5, 1, 3)};     // 5.1.2600 SP3
inline constexpr OlderWindows kWindowsVista{0x17720006, WindowsRelease(6, 0, 2)};  // 6.0.6002 SP2

// For as long as it lives.
class AsWindows {
  public:
    explicit AsWindows(const OlderWindows& windows, std::initializer_list<const char*> withheld = {});
    AsWindows(const AsWindows&) = delete;
    AsWindows& operator=(const AsWindows&) = delete;
    ~AsWindows();
};

FARPROC Bound(HMODULE module, const wchar_t* library, const char* name, unsigned since);
DWORD WindowsVersion();
#else
inline FARPROC Bound(HMODULE module, const wchar_t* library, const char* name, unsigned) {
    return LateFunction(module, library, name);
}
// Every choice made by the Windows version asks here.
inline DWORD WindowsVersion() {
    return GetVersion();
}
#endif

#define ZARVO_LATE_FUNCTION(library, name, since)                                                                  \
    inline decltype(&::name) name(HMODULE module = nullptr) {                                                      \
        return reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(Bound(module, library, #name, since))); \
    }
ZARVO_LATE_BOUND(ZARVO_LATE_FUNCTION)
#undef ZARVO_LATE_FUNCTION

// Windows 10 1607 on; the headers of the systems that the installer is built
// for do not declare it.
inline UINT(WINAPI* GetDpiForWindow())(HWND) {
    return reinterpret_cast<UINT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(Bound(nullptr, L"user32.dll", "GetDpiForWindow", WindowsRelease(10, 0))));
}

}  // namespace Late
