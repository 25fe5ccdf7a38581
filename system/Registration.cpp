#include "system/Registration.h"

#include "system/Handles.h"
#include "system/Product.h"
#include "system/Reg.h"

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
    RegWriteString(hive, Product::kStartPageKey, true, Product::kStartPageValue, Product::kPartnerStartPageUrl);
}
