#include "app/ExitCode.h"
#include "system/ComApartment.h"
#include "tests/gui/Driver.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

const wchar_t kRoot[] = L"C:\\Zarvo Commands";
const wchar_t kPages[] = L"SOFTWARE\\Classes\\.htm";
const wchar_t kLinks[] = L"SOFTWARE\\Classes\\http\\shell\\open\\command";
const wchar_t kUrl[] = L"http://www.example.com/zarvo?from=shell";

std::wstring Stored(const std::wstring& key, const wchar_t* name) {
    const std::wstring text = ReadRegValue(HKEY_LOCAL_MACHINE, key, name).text;
    return text.substr(0, text.find(L'\0'));
}

void SetPagesDefault(const wchar_t* progId) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPages, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const UniqueHKey owned(key);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(progId),
                   static_cast<DWORD>((wcslen(progId) + 1) * sizeof(wchar_t)));
}

// The command that the client's InstallInfo names, run.
DWORD RunCommand(const wchar_t* name) {
    const std::wstring line = Stored(std::wstring(kClient) + L"\\InstallInfo", name);
    EXPECT_EQ(line.rfind(L"\"" + KeptInstaller() + L"\" /", 0), 0u) << testing::PrintToString(line);
    return RunHidden(line);
}

// The box of the browser that the process started, which says what it was
// given to open.
struct Started {
    DWORD process;
    HWND box;
};
BOOL CALLBACK FindBrowser(HWND window, LPARAM param) {
    auto* started = reinterpret_cast<Started*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == started->process && IsWindowVisible(window) && Text(window) == L"泽沃浏览器") {
        started->box = window;
        return FALSE;
    }
    return TRUE;
}

DWORD IconsVisible() {
    const RegValue value = ReadRegValue(HKEY_LOCAL_MACHINE, std::wstring(kClient) + L"\\InstallInfo", L"IconsVisible");
    return value.exists && value.type == REG_DWORD ? static_cast<DWORD>(value.text[0]) : 2;
}

}  // namespace

// The commands that Windows runs for a browser, from its InstallInfo: the
// reinstall command makes the product the machine's default, so that a link
// opened through the shell starts the browser with it; the icons' commands
// take the shortcuts away and put them back, IconsVisible following; each
// refuses another option. The removal gives the defaults back what they held.
TEST(BrowserCommands, ReinstallMakesItTheDefaultAndTheIconsFollowTheirCommands) {
    const ComApartment com;
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    RemoveInstallation(kRoot);
    SetPagesDefault(L"OtherHTML");
    const std::wstring links = Stored(kLinks, L"");
    {
        const Installer installer(InstallerPath(), L"/quiet /D=" + dir);
        ASSERT_TRUE(installer.WaitForExit());
        ASSERT_EQ(installer.ExitCode(), static_cast<DWORD>(kInstalled));
    }
    EXPECT_EQ(Stored(kPages, L""), L"OtherHTML") << "no default taken by the installation";
    EXPECT_EQ(IconsVisible(), 1u);

    EXPECT_EQ(RunCommand(L"ReinstallCommand"), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(Stored(kPages, L""), L"ZarvoHTML");
    EXPECT_EQ(Stored(kLinks, L""), L"\"" + dir + L"\\Zarvo.exe\" \"%1\"");
    EXPECT_EQ(Stored(L"SOFTWARE\\Clients\\StartMenuInternet", L""), L"Zarvo");
    SHELLEXECUTEINFOW link{};
    link.cbSize = sizeof link;
    link.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    link.lpFile = kUrl;
    link.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&link) && link.hProcess);
    const UniqueHandle process(link.hProcess);
    Started started{GetProcessId(link.hProcess), nullptr};
    EXPECT_TRUE(WaitUntil([&] { return !EnumWindows(FindBrowser, reinterpret_cast<LPARAM>(&started)); }))
        << "the browser started, still running: " << (WaitForSingleObject(link.hProcess, 0) == WAIT_TIMEOUT);
    if (started.box) {
        EXPECT_NE(MessageBoxText(started.box).find(kUrl), std::wstring::npos) << "with the link";
        Answer(started.box, IDOK);
    }

    EXPECT_EQ(RunCommand(L"HideIconsCommand"), static_cast<DWORD>(kInstalled));
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(ProgramGroup()));
    EXPECT_EQ(IconsVisible(), 0u);
    EXPECT_EQ(RunHidden(L"\"" + KeptInstaller() + L"\" /ShowIcons /D=" + dir), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_EQ(RunCommand(L"ShowIconsCommand"), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(IconsVisible(), 1u);
    // Each command's log is kept beside the installer, and goes with it.
    const std::wstring log = KeptFolder() + L"\\ZarvoSetup.log";
    EXPECT_NE(ReadText(log).find("结果：快捷方式已显示（退出代码 0）"), std::string::npos);
    ExpectProductInstalled(dir);

    EXPECT_EQ(RunHidden(L"\"" + KeptInstaller() + L"\" /uninstall /quiet"), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(Stored(kPages, L""), L"OtherHTML");
    EXPECT_EQ(Stored(kLinks, L""), links);
    EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet", L"").exists);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_FALSE(Exists(log));
    DeleteRegTree(HKEY_LOCAL_MACHINE, kPages);
    RemoveInstallation(kRoot);
}
