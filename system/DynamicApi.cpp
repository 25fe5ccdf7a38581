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

#ifdef ZARVO_OLDER_WINDOWS
#include <cstring>
#include <vector>

namespace {

const Late::OlderWindows* pretended = nullptr;
std::vector<const char*> withheldBesides;

}  // namespace

Late::AsWindows::AsWindows(const OlderWindows& windows, std::initializer_list<const char*> withheld) {
    pretended = &windows;
    withheldBesides.assign(withheld.begin(), withheld.end());
}

Late::AsWindows::~AsWindows() {
    pretended = nullptr;
    withheldBesides.clear();
}

FARPROC Late::Bound(HMODULE module, const wchar_t* library, const char* name, unsigned since) {
    if (pretended && since > pretended->release)
        return nullptr;
    for (const char* withheld : withheldBesides)
        if (std::strcmp(withheld, name) == 0)
            return nullptr;
    return LateFunction(module, library, name);
}

DWORD Late::WindowsVersion() {
    return pretended ? pretended->version : GetVersion();
}
#endif
