#include "app/InstallMain.h"
#include "app/TempDir.h"
#include "system/ComApartment.h"
#include "system/Privilege.h"
#include "system/Reg.h"
#include "system/RunLog.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

TEST(StartupState, TempDirLosesOneTrailingBackslash) {
    std::wstring buffer;
    ScopedEnvironment tmp(L"TMP", L"C:\\windows\\temp");
    EXPECT_EQ(ReadTempDir(buffer), L"C:\\windows\\temp");
    EXPECT_GE(buffer.size(), 100u);
}

TEST(StartupState, TempDirOfAnyLengthIsReadWhole) {
    // Longer than the first guess of 100 code units.
    std::wstring deep = L"C:\\windows\\temp";
    while (deep.size() < 180)
        deep += L"\\长路径目录名称";
    ASSERT_TRUE(MakeFolders(deep));
    std::wstring buffer;
    ScopedEnvironment tmp(L"TMP", deep);
    EXPECT_EQ(ReadTempDir(buffer), deep);
    for (std::wstring level = deep; level.size() > 15; level.erase(level.rfind(L'\\')))
        RemoveDirectoryW(level.c_str());
}

// A file that another account made at the log's name, open to everyone, is
// left alone: the log is a file of the installer's own that takes the name,
// and nobody else may write it.
TEST(StartupState, LogIsMadeAnewAsTheInstallersOwn) {
    const std::wstring folder = L"C:\\ZarvoLogTest";
    const std::wstring path = folder + L"\\setup.log";
    const auto fileIndex = [](const std::wstring& file) {
        const UniqueHandle opened(CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        GetFileInformationByHandle(opened.get(), &information);
        return (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    };
    RemoveTree(folder);
    ASSERT_TRUE(MakeFolders(folder));
    WriteBytes(path, "another account's file");
    ASSERT_TRUE(OpenToEveryone(path));
    const unsigned long long planted = fileIndex(path);
    {
        RunLog log;
        ASSERT_EQ(log.Open(path), 0u);
        log.Line(L"日志");
    }
    EXPECT_NE(fileIndex(path), planted);
    EXPECT_EQ(ReadText(path), "\xEF\xBB\xBF\xE6\x97\xA5\xE5\xBF\x97\r\n");
    const std::wstring list = AccessList(path);
    EXPECT_EQ(list.find(L";WD)"), std::wstring::npos) << list;
    RemoveTree(folder);
}

TEST(StartupState, DebugPrivilegeCanBeEnabledAndUnknownOnesCannot) {
    EXPECT_TRUE(EnablePrivilege(GetCurrentProcess(), L"SeDebugPrivilege"));
    EXPECT_FALSE(EnablePrivilege(GetCurrentProcess(), L"SeNoSuchPrivilege"));
    EXPECT_FALSE(EnablePrivilege(nullptr, L"SeDebugPrivilege"));
}

// An upgrade goes where the browser is: the folder that the Uninstall entry
// of an earlier installation names, where it still holds Zarvo.exe, is the
// one that the directory page shows, and the one that /S without /D=, which
// makes no window, takes; else the default under Program Files.
TEST(StartupState, UpgradeIsProposedTheFolderThatHoldsTheBrowser) {
    const std::wstring root = L"C:\\ZarvoStartupTest";
    const std::wstring installed = root + L"\\Old Zarvo";
    // A folder named Zarvo.exe is no browser.
    const std::wstring stale = root + L"\\Stale";
    ASSERT_TRUE(MakeFolders(stale + L"\\Zarvo.exe"));
    ASSERT_TRUE(MakeFolders(installed));
    WriteBytes(installed + L"\\Zarvo.exe", "MZ");
    const std::wstring fresh =
        ReadRegValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir")
            .text.c_str() +
        std::wstring(L"\\Zarvo");
    struct Case {
        std::wstring installLocation, displayIcon, proposed;
    };
    const Case cases[] = {
        {L"\"" + installed + L"\\\"", L"", installed},
        {stale, L"\"" + installed + L"\\Zarvo.exe\",0", installed},
        {root + L"\\Gone", stale + L"\\Zarvo.exe", fresh},
        {L"", root + L"\\Old Zarvo.\\Zarvo.exe", fresh},
        {L"", L"", fresh},
    };
    ComApartment com;
    Application application;
    application.ShowNoBoxes();
    for (const Case& c : cases) {
        DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstall);
        if (!c.installLocation.empty())
            RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, true, L"InstallLocation", c.installLocation.c_str());
        if (!c.displayIcon.empty())
            RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, true, L"DisplayIcon", c.displayIcon.c_str());
        for (bool window : {true, false}) {
            TInstallForm form(application);
            form.Create(window);
            EXPECT_EQ(form.InstallDirectory(), c.proposed)
                << testing::PrintToString(c.installLocation) << " window " << window;
            form.Destroy();
            InstallMain::ReleaseInstallerState();
        }
    }
    // A value of another type is no folder, and no error either.
    const DWORD one = 1;
    RegWriteValue(HKEY_LOCAL_MACHINE, kUninstall, true, L"InstallLocation", REG_DWORD, &one, sizeof one);
    RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, true, L"DisplayIcon", (installed + L"\\Zarvo.exe").c_str());
    TInstallForm form(application);
    form.Create();
    EXPECT_EQ(form.InstallDirectory(), installed);
    form.Destroy();
    InstallMain::ReleaseInstallerState();
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstall);
    RemoveTree(root);
}
