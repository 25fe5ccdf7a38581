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
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    EXPECT_TRUE(WindowOwnerFacts(window));
    DestroyWindow(window);
    EXPECT_FALSE(WindowOwnerFacts(window)) << "a window that is gone has no rights to tell";
    EXPECT_FALSE(WindowOwnerFacts(nullptr));

    // The window of another process, as the desktop's is. Not Wine's desktop
    // itself: its explorer may end while the tests run, leaving the desktop
    // window with no process, and none starts again for a process that has
    // seen it.
    const std::wstring folder = L"C:\\ZarvoWindowOwner";
    ASSERT_TRUE(MakeFolders(folder));
    {
        RunningProgram other = StartTestBrowser(folder + L"\\Zarvo.exe", L"obey");
        // Its own window, not one that a copy another test left may have.
        HWND otherWindow = nullptr;
        while ((otherWindow = FindWindowExW(nullptr, otherWindow, L"ZarvoTestBrowser", nullptr))) {
            DWORD id = 0;
            GetWindowThreadProcessId(otherWindow, &id);
            if (id == GetProcessId(other.Handle()))
                break;
        }
        ASSERT_TRUE(otherWindow);
        const std::optional<TokenFacts> facts = WindowOwnerFacts(otherWindow);
        ASSERT_TRUE(facts);
        EXPECT_EQ(facts->user, own->user);
        EXPECT_EQ(facts->level, own->level);
    }
    RemoveTree(folder);
}

// The hive of a user who is signed in is loaded under the SID; a key made
// there stands in for it. The user may have made any key of that hive a link.
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

    // A key on the way that the user has made a link, which Windows 2000 and
    // XP would follow into the machine's hive: nothing is written anywhere.
    const std::wstring linking = L"S-1-5-21-7-7-7-1003";
    HKEY explorer = nullptr, link = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_USERS, (linking + L"\\Software\\Microsoft\\Internet Explorer").c_str(), 0, nullptr,
                              0, KEY_ALL_ACCESS, nullptr, &explorer, nullptr),
              ERROR_SUCCESS);
    const UniqueHKey ownedExplorer(explorer);
    ASSERT_EQ(RegCreateKeyExW(explorer, L"Main", 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    const UniqueHKey ownedLink(link);
    const std::wstring target = L"\\Registry\\User\\" + linking + L"\\Target";
    ASSERT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.c_str()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    WriteStartPage(linking);
    EXPECT_FALSE(RegKeyExists(HKEY_USERS, linking + L"\\Target"));
    using DeleteKey = LONG(NTAPI*)(HANDLE);
    const auto deleteKey = reinterpret_cast<DeleteKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    EXPECT_EQ(deleteKey(link), 0) << "the link, not where it leads";

    DeleteRegTree(HKEY_USERS, linking);
    DeleteRegTree(HKEY_USERS, loaded);
    DeleteRegTree(HKEY_USERS, notLoaded);
    if (before.exists)
        RegWriteString(HKEY_CURRENT_USER, kMain, true, L"Start Page", before.text.c_str());
    else
        SHDeleteValueW(HKEY_CURRENT_USER, kMain, L"Start Page");
}
