#include "app/TempDir.h"

#include "install/PathRules.h"
#include "system/SystemError.h"

#include <windows.h>

namespace {
constexpr DWORD kInitialLength = 100;
}

std::wstring ReadTempDir(std::wstring& buffer) {
    buffer.assign(kInitialLength, L'\0');
    // The path can change between the calls: it is asked for until it fits.
    if (GrowToFit(nullptr, buffer, [](const wchar_t*, std::wstring& into) {
            return GetTempPathW(static_cast<DWORD>(into.size()), into.data());
        }) == 0) {
        // Without an answer, the Windows directory's own Temp folder serves: it
        // exists on every installation and the installer runs elevated.
        const DWORD length = GrowToFit(nullptr, buffer, [](const wchar_t*, std::wstring& into) {
            return static_cast<DWORD>(GetSystemWindowsDirectoryW(into.data(), static_cast<UINT>(into.size())));
        });
        return WithoutTrailingBackslash(buffer.substr(0, length)) + L"\\Temp";
    }
    return WithoutTrailingBackslash(std::wstring(buffer.c_str()));
}
