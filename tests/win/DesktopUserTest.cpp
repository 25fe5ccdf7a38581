#include "system/Elevation.h"
#include "system/Handles.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/Registration.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {

const wchar_t kMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";

std::wstring StartPage(HKEY hive) {
    return ReadRegValue(hive, kMain, L"Start Page").text.c_str();
}

}  // namespace

TEST(DesktopUser, RightsAreThoseOfTheProcessThatOwnsTheWindow) {
    const std::optional<TokenFacts> own = ProcessTokenFacts(GetCurrentProcess());
    ASSERT_TRUE(own);
    EXPECT_EQ(own->user.rfind(L"S-1-5-21-", 0), 0u) << testing::PrintToString(own->user);
    // Wine gives every process a full administrator token, at the high level.
    EXPECT_EQ(own->level, 0x3000ul);
    // Wine's desktop window belongs to its explorer.exe, another process.
    const std::optional<TokenFacts> desktop = WindowOwnerFacts(GetDesktopWindow());
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->user, own->user);
    EXPECT_EQ(desktop->level, own->level);

    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    EXPECT_TRUE(WindowOwnerFacts(window));
    DestroyWindow(window);
    EXPECT_FALSE(WindowOwnerFacts(window)) << "a window that is gone has no rights to tell";
    EXPECT_FALSE(WindowOwnerFacts(nullptr));
}

// The hive of a user who is signed in is loaded under the SID; a key made
// there stands in for it.
TEST(DesktopUser, StartPageGoesIntoTheHiveOfTheUserAtTheDesktop) {
    const std::wstring loaded = L"S-1-5-21-7-7-7-1001";
    const std::wstring notLoaded = L"S-1-5-21-7-7-7-1002";
    const RegValue before = ReadRegValue(HKEY_CURRENT_USER, kMain, L"Start Page");
    RegWriteString(HKEY_CURRENT_USER, kMain, true, L"Start Page", L"about:blank");
    HKEY hive = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_USERS, loaded.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hive, nullptr),
              ERROR_SUCCESS);
    UniqueHKey owned(hive);

    WriteStartPage(loaded);
    EXPECT_EQ(StartPage(hive), Product::kPartnerStartPageUrl);
    EXPECT_EQ(StartPage(HKEY_CURRENT_USER), L"about:blank") << "not the installer's own";
    WriteStartPage(notLoaded);
    EXPECT_FALSE(RegKeyExists(HKEY_USERS, notLoaded)) << "no hive is made";
    WriteStartPage(L"");
    EXPECT_EQ(StartPage(HKEY_CURRENT_USER), Product::kPartnerStartPageUrl);

    DeleteRegTree(HKEY_USERS, loaded);
    DeleteRegTree(HKEY_USERS, notLoaded);
    if (before.exists)
        RegWriteString(HKEY_CURRENT_USER, kMain, true, L"Start Page", before.text.c_str());
    else
        SHDeleteValueW(HKEY_CURRENT_USER, kMain, L"Start Page");
}
