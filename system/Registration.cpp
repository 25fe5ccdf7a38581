#include "system/Registration.h"

#include "system/Error.h"
#include "system/Handles.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/SystemError.h"

#include <windows.h>

void WriteStartPage(const std::wstring& user) {
    HKEY hive = HKEY_CURRENT_USER;
    UniqueHKey userHive;
    if (!user.empty()) {
        // A signed-in user's hive is loaded under the SID; none is made here.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_USERS, user.c_str(), 0, KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
            return;
        userHive.reset(key);
        hive = key;
    }
    // The user may have made a key on the way a link, into the machine's hive
    // for one (Windows 2000 and XP follow such links): each key is opened as
    // itself, made where it is missing, and a link stops the write. A key that
    // cannot be had fails it, as every write does.
    UniqueHKey key;
    const std::wstring path = Product::kStartPageKey;
    for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1) {
        end = path.find(L'\\', start);
        const std::wstring name = path.substr(start, end == std::wstring::npos ? end : end - start);
        HKEY opened = nullptr;
        DWORD type = REG_NONE;
        const LONG status = RegCreateKeyExW(key ? key.get() : hive, name.c_str(), 0, nullptr, REG_OPTION_OPEN_LINK,
                                            KEY_ALL_ACCESS, nullptr, &opened, nullptr);
        if (status != ERROR_SUCCESS)
            Raise(FormatText(L"Failed to create key '%1'. %2", {path, SystemErrorText(status)}), status);
        key.reset(opened);
        if (RegQueryValueExW(opened, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
            type == REG_LINK)
            return;
    }
    RegWriteString(key.get(), L"", false, Product::kStartPageValue, Product::kPartnerStartPageUrl);
}
