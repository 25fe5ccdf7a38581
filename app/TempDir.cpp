#include "app/TempDir.h"

#include "install/PathRules.h"

#include <windows.h>

namespace {
constexpr DWORD kInitialLength = 100;
}

std::wstring ReadTempDir(std::wstring& buffer) {
    buffer.assign(kInitialLength, L'\0');
    DWORD length = GetTempPathW(kInitialLength, buffer.data());
    // A path that does not fit is answered with the length it needs; the path
    // can change between the calls, so ask until it fits.
    while (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0) {
        // Without an answer, the Windows directory's own Temp folder serves: it
        // exists on every installation and the installer runs elevated.
        UINT windowsLength = GetSystemWindowsDirectoryW(nullptr, 0);
        buffer.assign(windowsLength + 1, L'\0');
        windowsLength = GetSystemWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        return WithoutTrailingBackslash(std::wstring(buffer.data(), windowsLength)) + L"\\Temp";
    }
    return WithoutTrailingBackslash(std::wstring(buffer.c_str()));
}
