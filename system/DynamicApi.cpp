#include "system/DynamicApi.h"

#include "system/MessageText.h"

HMODULE LoadSystemLibrary(const wchar_t* library) {
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryExW(FormatText(L"%1\\%2", {std::wstring_view(directory, length), library}).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC LateFunction(HMODULE module, const wchar_t* library, const char* name) {
    if (!module)
        module = GetModuleHandleW(library);
    if (!module)
        module = LoadSystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}
