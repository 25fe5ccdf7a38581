#pragma once

#include <windows.h>

// Loads a library of the system directory by its full path, never from the
// installer's own folder, where a planted DLL of the same name could be
// waiting. The libraries it imports are looked up from the system directory
// first too. Null when the system has no such library.
HMODULE LoadSystemLibrary(const wchar_t* library);

// A function of a loaded library, typed; null when the library has none of
// that name.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Looks up a function that older Windows versions lack.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (!module)
        module = LoadSystemLibrary(library);
    return module ? LibraryFunction<Function>(module, name) : nullptr;
}
