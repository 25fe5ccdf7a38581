#include "system/Registration.h"

#include "system/Error.h"
#include "system/Handles.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/SystemError.h"
#include "system/Texts.h"

#include <windows.h>

#include <iterator>

bool WriteStartPage(const std::wstring& user) {
    HKEY hive = HKEY_CURRENT_USER;
    UniqueHKey userHive;
    if (!user.empty()) {
        // A signed-in user's hive is loaded under the SID; none is made here.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_USERS, user.c_str(), 0, KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
            return false;
        userHive.reset(key);
        hive = key;
    }
    // The user may have made a key on the way a link, into the machine's hive
    // for one (Windows 2000 and XP follow such links): each key is opened as
    // itself, made where it is missing, and a link stops the write. A key that
    // cannot be had fails it, as every write does.
    UniqueHKey key;
    const wchar_t* const path = Product::kStartPageKey;
    for (const wchar_t* at = path; *at;) {
        // The next name of the path, as the system takes it: ending in a NUL.
        wchar_t name[std::size(Product::kStartPageKey)];
        std::size_t length = 0;
        for (; *at && *at != L'\\'; ++at)
            name[length++] = *at;
        name[length] = L'\0';
        at += *at == L'\\';
        HKEY opened = nullptr;
        DWORD type = REG_NONE;
        const LONG status = RegCreateKeyExW(key ? key.get() : hive, name, 0, nullptr, REG_OPTION_OPEN_LINK,
                                            KEY_ALL_ACCESS, nullptr, &opened, nullptr);
        if (status != ERROR_SUCCESS)
            Raise(FormatText(kCannotCreateKey, {path, SystemErrorText(status)}), status);
        key.reset(opened);
        if (RegQueryValueExW(opened, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
            type == REG_LINK)
            return false;
    }
    RegWriteString(key.get(), L"", false, Product::kStartPageValue, Product::kPartnerStartPageUrl);
    return true;
}
