#pragma once

#include <windows.h>

#include <string>

// Looks up a function that older Windows versions lack. The library is loaded
// from the system directory by full path, never from the installer's own
// folder, where a planted DLL of the same name could be waiting.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (!module) {
        wchar_t directory[MAX_PATH];
        UINT length = GetSystemDirectoryW(directory, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        module = LoadLibraryW((std::wstring(directory, length) + L"\\" + library).c_str());
    }
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
