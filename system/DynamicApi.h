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

// Loads a library of the system directory by its full path, never from the
// installer's own folder, where a planted DLL of the same name could be
// waiting. The libraries it imports are looked up from the system directory
// first too. Null when the system has no such library.
HMODULE LoadSystemLibrary(const wchar_t* library);

// The function of that name in `module`, or where none is given in the system
// library (loaded from the system directory if need be); null where there is
// none.
FARPROC LateFunction(HMODULE module, const wchar_t* library, const char* name);

// Every function that the installer binds at run time, typed from the SDK's
// own declaration: those that Windows 2000 lacks, and those of libraries
// loaded only when they are needed. Each is looked up at its use, which is
// rare; null where the system has none.
#define ZARVO_LATE_BOUND(F)                        \
    F(L"kernel32.dll", SetDefaultDllDirectories)   \
    F(L"kernel32.dll", SetDllDirectoryW)           \
    F(L"kernel32.dll", GetCurrentActCtx)           \
    F(L"kernel32.dll", CreateToolhelp32Snapshot)   \
    F(L"kernel32.dll", Process32FirstW)            \
    F(L"kernel32.dll", Process32NextW)             \
    F(L"kernel32.dll", ProcessIdToSessionId)       \
    F(L"wtsapi32.dll", WTSQueryUserToken)          \
    F(L"userenv.dll", CreateEnvironmentBlock)      \
    F(L"userenv.dll", DestroyEnvironmentBlock)     \
    F(L"psapi.dll", GetModuleFileNameExW)          \
    F(L"dwmapi.dll", DwmExtendFrameIntoClientArea) \
    F(L"comctl32.dll", InitCommonControlsEx)       \
    F(L"oleacc.dll", CreateStdAccessibleObject)    \
    F(L"oleacc.dll", LresultFromObject)            \
    F(L"rstrtmgr.dll", RmStartSession)             \
    F(L"rstrtmgr.dll", RmEndSession)               \
    F(L"rstrtmgr.dll", RmRegisterResources)        \
    F(L"rstrtmgr.dll", RmGetList)

namespace Late {

#define ZARVO_LATE_FUNCTION(library, name)                                                                         \
    inline decltype(&::name) name(HMODULE module = nullptr) {                                                      \
        return reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(LateFunction(module, library, #name))); \
    }
ZARVO_LATE_BOUND(ZARVO_LATE_FUNCTION)
#undef ZARVO_LATE_FUNCTION

// Windows 10 1607 on; the headers of the systems that the installer is built
// for do not declare it.
inline UINT(WINAPI* GetDpiForWindow())(HWND) {
    return reinterpret_cast<UINT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(LateFunction(nullptr, L"user32.dll", "GetDpiForWindow")));
}

}  // namespace Late
