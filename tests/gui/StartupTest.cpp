#include "system/LibrarySearch.h"
#include "tests/gui/Driver.h"
#include "tests/gui/Layout.h"
#include "tests/win/Probe.h"
#include "ui/Texts.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

namespace {

const wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const wchar_t kCaption[] = L"泽沃浏览器V1.1.0.2669 beta 安装程序";

}  // namespace

TEST(Startup, ShowsTheWelcomePage) {
    ScopedRegistryValue programFiles(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir");
    programFiles.SetString(L"C:\\Program Files");
    Installer installer;
    HWND window = installer.Window();
    ASSERT_TRUE(window);

    EXPECT_EQ(Text(window), kCaption);
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, 494);
    EXPECT_EQ(client.cy, 320);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "fixed size, close box only";
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "the window owns the taskbar button";
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);

    for (ControlId hidden : {LastStepBtn, OverBtn})
        EXPECT_FALSE(Visible(installer.Control(hidden))) << hidden;
    for (ControlId shown : {NextStepBtn, CancelBtn}) {
        EXPECT_TRUE(Visible(installer.Control(shown))) << shown;
        EXPECT_TRUE(Enabled(installer.Control(shown))) << shown;
    }
    EXPECT_EQ(Text(installer.Control(NextStepBtn)), L"下一步");
    EXPECT_EQ(Text(installer.Control(CancelBtn)), L"取消");
    HWND order = installer.Control(OrderLabel);
    EXPECT_EQ(Text(order), L"当前第1步，共5步。");
    EXPECT_FALSE(Enabled(order)) << "greyed";
    EXPECT_FALSE(Enabled(installer.Control(SupportLabel)));

    EXPECT_TRUE(Visible(installer.Control(WelcomeTabSheet)));
    for (ControlId page : {LisenseTabSheet, DirTabSheet, ProcessTabSheet, OverTabSheet})
        EXPECT_FALSE(Visible(installer.Control(page))) << page;
    EXPECT_EQ(SendMessageW(installer.Control(InstallPage), TCM_GETITEMCOUNT, 0, 0), 0) << "no tab strip";
    EXPECT_EQ(Text(installer.Control(NameLabel)), L"欢迎使用 泽沃浏览器 安装向导");
    EXPECT_EQ(Text(installer.Control(MoreIntrod)), kWelcomeText);
    EXPECT_EQ(Text(installer.Control(InstallDir)), L"C:\\Program Files\\Zarvo");
    for (ControlId check : {ControlId::Run, VistaHome, CheckBoxLeadWeb, CheckBoxSetIEHome})
        EXPECT_TRUE(Checked(installer.Control(check))) << check;
    ExpectLayout(installer, 96);
}

TEST(Startup, MissingProgramFilesDirGivesRootedDefault) {
    ScopedRegistryValue programFiles(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir");
    programFiles.Remove();
    Installer installer;
    ASSERT_TRUE(installer.Window());
    EXPECT_EQ(Text(installer.Control(InstallDir)), L"\\Zarvo");
    // A box at start holds the window's thread, which then answers from
    // within it.
    Settle(installer.Window());
    EXPECT_EQ(installer.WaitForMessageBox(0), nullptr) << "absence is no error";
}

TEST(Startup, ProgramFilesDirOfWrongTypeIsReportedAndTheWindowStillWorks) {
    ScopedRegistryValue programFiles(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ProgramFilesDir");
    programFiles.SetDword(1);
    Installer installer;
    HWND box = installer.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(Text(box), L"泽沃浏览器安装程序");
    EXPECT_EQ(MessageBoxText(box), L"Invalid data type for 'ProgramFilesDir'") << "no stop after a closing quote";
    EXPECT_TRUE(MessageBoxHasButton(box, IDOK));
    EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
    Answer(box, IDOK);

    ASSERT_TRUE(installer.Window());
    EXPECT_EQ(Text(installer.Control(InstallDir)), L"") << "the failed step set nothing";
    ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
    EXPECT_TRUE(WaitUntil([&] { return Visible(installer.Control(LisenseTabSheet)); }));
}

TEST(Startup, LibrariesPlantedBesideTheInstallerAreNotUsed) {
    const std::wstring folder = L"C:\\ZarvoDownloads";
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring copy = folder + L"\\ZarvoSetup.exe";
    ASSERT_TRUE(CopyFileW(InstallerPath().c_str(), copy.c_str(), FALSE));
    for (const wchar_t* library : PreloadedLibraries)
        ASSERT_TRUE(CopyFileW(ZARVO_PLANTED_LIBRARY, (folder + L"\\" + library).c_str(), FALSE));

    wchar_t system[MAX_PATH];
    const std::wstring systemDir(system, GetSystemDirectoryW(system, MAX_PATH));
    {
        Installer installer(copy);
        ASSERT_TRUE(installer.Window());
        // Wine never runs a planted copy of a library it has built in, but it
        // reports the library under the path where the load by name found it.
        UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, installer.ProcessId()));
        MODULEENTRY32W module{};
        module.dwSize = sizeof module;
        int preloaded = 0;
        for (BOOL more = Module32FirstW(snapshot.get(), &module); more; more = Module32NextW(snapshot.get(), &module))
            for (const wchar_t* library : PreloadedLibraries)
                // Wine's user32 imports version.dll: it comes with the
                // executable's own imports, before the installer runs a line.
                if (_wcsicmp(module.szModule, library) == 0 && _wcsicmp(library, L"version.dll") != 0) {
                    ++preloaded;
                    EXPECT_EQ(_wcsicmp(module.szExePath, (systemDir + L"\\" + library).c_str()), 0)
                        << testing::PrintToString(std::wstring(module.szExePath));
                }
        EXPECT_GE(preloaded, 3) << "the theme, window-manager and drawing libraries at least";
    }
    for (const wchar_t* library : PreloadedLibraries)
        EXPECT_FALSE(Exists(folder + L"\\" + library + L".loaded")) << library;
    RemoveTree(folder);
}
