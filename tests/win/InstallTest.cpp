#include "app/InstallMain.h"
#include "system/ComApartment.h"
#include "system/Error.h"
#include "tests/win/Probe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

const wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";
const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";
const wchar_t kGroup[] = L"泽沃浏览器";
const wchar_t kTestRoot[] = L"C:\\ZarvoInstallTest";

std::wstring DesktopLink() {
    return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\泽沃浏览器.lnk";
}

std::wstring ProgramGroup() {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kGroup;
}

// The plain file a payload is made from: a file of the source tree, or a
// stand-in program built with the installer.
std::wstring PlainSource(const std::wstring& payload) {
    const std::wstring fileName = PayloadFileName(payload);
    const std::wstring source = std::wstring(ZARVO_SOURCE_DIR) + L"\\payloads\\" + fileName;
    return Exists(source) ? source : std::wstring(ZARVO_STANDIN_DIR) + L"\\" + fileName;
}

// Runs the wizard from its welcome page to the end of the installation, as
// the next button does; returns the text of the error that ended it, if any.
class InstallTest : public testing::Test {
  protected:
    void SetUp() override { CleanSystem(); }
    void TearDown() override {
        CloseForm();
        CleanSystem();
    }

    static void CleanSystem() {
        RemoveTree(kTestRoot);
        DeleteFileW(DesktopLink().c_str());
        RemoveTree(ProgramGroup());
        DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPaths);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstall);
    }

    void Open() {
        CloseForm();
        form_ = std::make_unique<TInstallForm>(application_);
        form_->Create();
        form_->Show();
    }

    std::wstring Install(const std::wstring& dir, bool fresh = true) {
        if (fresh)
            Open();
        form_->Window().SetText(InstallDir, dir);
        try {
            for (int step = 0; step < 3; ++step)
                form_->NextStepBtnClick();
        } catch (const Error& error) {
            return error.Message();
        }
        return L"";
    }

    void CloseForm() {
        if (form_) {
            form_->Destroy();
            form_.reset();
            InstallMain::ReleaseInstallerState();
        }
    }

    WizardWindow& Window() { return form_->Window(); }
    int Progress() { return static_cast<int>(SendMessageW(Window().Control(ProgressBar), PBM_GETPOS, 0, 0)); }

    static void ExpectTreeInstalled(const std::wstring& dir) {
        for (const wchar_t* payload : PayloadNames) {
            const std::wstring installed = PayloadDestination(dir, payload, PayloadFileName(payload));
            ASSERT_TRUE(Exists(installed)) << payload;
            EXPECT_EQ(ReadBytes(installed), ReadBytes(PlainSource(payload))) << payload;
        }
        for (const wchar_t* empty : {L"\\Plugins", L"\\Temp\\Skin", L"\\Temp\\Update"})
            EXPECT_TRUE(Exists(dir + empty)) << empty;
    }

    static void ExpectNoPayloadInTemp() {
        for (const wchar_t* payload : PayloadNames)
            EXPECT_FALSE(Exists(InstallMain::TempDir + L"\\" + PayloadFileName(payload))) << payload;
    }

    static void ExpectNothingRegistered() {
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPaths));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    }

    ComApartment com_;
    Application application_;
    std::unique_ptr<TInstallForm> form_;
};

}  // namespace

TEST_F(InstallTest, FreshDirectoryGetsTheWholeProduct) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Program Files\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    ExpectTreeInstalled(dir);
    ExpectNoPayloadInTemp();

    EXPECT_EQ(Progress(), 50);
    EXPECT_EQ(SendMessageW(Window().Control(ProgressBar), PBM_GETRANGE, FALSE, 0), 52);
    EXPECT_EQ(Window().ActivePage(), OverTabSheet);
    EXPECT_FALSE(IsWindowVisible(Window().Control(NextStepBtn)));
    EXPECT_FALSE(IsWindowVisible(Window().Control(LastStepBtn)));
    EXPECT_TRUE(IsWindowVisible(Window().Control(OverBtn)));
    EXPECT_FALSE(IsWindowEnabled(Window().Control(CancelBtn)));
    EXPECT_EQ(Window().Text(OrderLabel), L"当前第5步，共5步。");
    EXPECT_EQ(Window().Text(StatusLabel), L"正在删除生成的临时文件");
    EXPECT_EQ(InstallMain::StepIndex, 3);

    struct Value {
        const wchar_t* key;
        const wchar_t* name;
        DWORD type;
        std::wstring text;
    };
    const Value values[] = {
        {kAppPaths, L"", REG_SZ, dir + L"\\Zarvo.exe"},
        {kAppPaths, L"Path", REG_SZ, dir},
        {kUninstall, L"Comments", REG_SZ,
         L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。"},
        {kUninstall, L"Contact", REG_SZ, L"zarvo@luofei.example"},
        {kUninstall, L"DisplayIcon", REG_SZ, dir + L"\\Zarvo.exe"},
        {kUninstall, L"DisplayName", REG_SZ, L"泽沃浏览器"},
        {kUninstall, L"Readme", REG_EXPAND_SZ, dir + L"\\Lisense.txt"},
        {kUninstall, L"UninstallString", REG_SZ, L"\"" + dir + L"\\ZarvService.exe\" Uninstall"},
        {kUninstall, L"Publisher", REG_SZ, L"洛菲工作室"},
        {kUninstall, L"URLInfoAbout", REG_SZ, L"http://www.zarvo.example/"},
        {kUninstall, L"HelpLink", REG_SZ, L"http://bbs.luofei.example/"},
        {kUninstall, L"URLUpdateInfo", REG_SZ, L"http://www.luofei.example/"},
    };
    for (const Value& expected : values) {
        const RegValue actual = ReadRegValue(HKEY_LOCAL_MACHINE, expected.key, expected.name);
        ASSERT_TRUE(actual.exists) << expected.name;
        EXPECT_EQ(actual.type, expected.type) << expected.name;
        EXPECT_EQ(actual.text, expected.text + L'\0') << expected.name << " is stored with its NUL";
    }

    const std::wstring browserText =
        L"泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，"
        L"绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。";
    struct Link {
        std::wstring path, target, description;
    };
    const Link links[] = {
        {DesktopLink(), dir + L"\\Zarvo.exe", browserText},
        {ProgramGroup() + L"\\泽沃浏览器.lnk", dir + L"\\Zarvo.exe", browserText},
        {ProgramGroup() + L"\\在线升级.lnk", dir + L"\\ZarvUpdate.exe", L"在线升级，快速将软件升级到最新版本。"},
        {ProgramGroup() + L"\\更新记录.lnk", dir + L"\\whatsnew.txt", L"记录泽沃浏览器的更新历史。"},
        {ProgramGroup() + L"\\卸载泽沃浏览器.lnk", dir + L"\\Uninstall.exe", L"卸载程序"},
    };
    for (const Link& expected : links) {
        const ShortcutInfo link = ReadShortcut(expected.path);
        ASSERT_TRUE(link.exists) << "shortcut " << &expected - links;
        EXPECT_EQ(link.target, expected.target);
        EXPECT_EQ(link.workingDirectory, dir);
        EXPECT_EQ(link.description, expected.description);
        EXPECT_EQ(link.arguments, L"");
    }
}

TEST_F(InstallTest, OverAnExistingInstallationReplacesOnlyTheProduct) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    for (const wchar_t* payload : PayloadNames)
        WriteBytes(PayloadDestination(dir, payload, PayloadFileName(payload)), "changed by the user");
    WriteBytes(dir + L"\\bookmarks.dat", "mine");
    WriteBytes(dir + L"\\Data\\user.ini", "mine too");
    // A file of a payload's name in the temporary directory is overwritten and removed.
    WriteBytes(InstallMain::TempDir + L"\\whatsnew.txt", "stale");

    ASSERT_EQ(Install(dir), L"");
    ExpectTreeInstalled(dir);
    EXPECT_EQ(ReadBytes(dir + L"\\bookmarks.dat"), std::vector<unsigned char>({'m', 'i', 'n', 'e'}));
    EXPECT_TRUE(Exists(dir + L"\\Data\\user.ini"));
    ExpectNoPayloadInTemp();
}

TEST_F(InstallTest, LinksPlantedAtTemporaryNamesAreNotWrittenThrough) {
    ASSERT_TRUE(TInstallForm::EnsureDirectory(kTestRoot));
    const std::wstring victim = std::wstring(kTestRoot) + L"\\victim.txt";
    WriteBytes(victim, "keep me");
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring hardLink = std::wstring(temp) + L"whatsnew.txt";
    ASSERT_TRUE(CreateHardLinkW(hardLink.c_str(), victim.c_str(), nullptr));
    // Symbolic links where the system lets this account make them.
    using CreateLink = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    const auto createSymbolicLink = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    const std::wstring symbolicLink = std::wstring(temp) + L"Zarvo.exe";
    const bool symbolic = createSymbolicLink && createSymbolicLink(symbolicLink.c_str(), victim.c_str(), 0);

    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    EXPECT_EQ(ReadBytes(victim), std::vector<unsigned char>({'k', 'e', 'e', 'p', ' ', 'm', 'e'})) << symbolic;
    ExpectTreeInstalled(dir);
    ExpectNoPayloadInTemp();
}

// The text that was checked is the one installed to, even when the edit box
// is made to say another while the installation runs.
TEST_F(InstallTest, TextChangedWhileInstallingIsNotUsed) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    const std::wstring other = std::wstring(kTestRoot) + L"\\Other";
    Open();
    // Sent from another thread, the text arrives at the installation's first pump.
    std::thread changer([&] {
        SendMessageW(Window().Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str()));
    });
    const std::wstring error = Install(dir, false);
    changer.join();
    ASSERT_EQ(error, L"");
    EXPECT_EQ(Window().Text(InstallDir), other);
    ExpectTreeInstalled(dir);
    EXPECT_FALSE(Exists(other));
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, dir + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadShortcut(DesktopLink()).target, dir + L"\\Zarvo.exe");
}

TEST_F(InstallTest, SecondDirectoryTakesOverTheRegistration) {
    const std::wstring first = std::wstring(kTestRoot) + L"\\First";
    const std::wstring second = std::wstring(kTestRoot) + L"\\Second";
    ASSERT_EQ(Install(first), L"");
    ASSERT_EQ(Install(second), L"");
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, second + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path").text, second + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayIcon").text, second + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadShortcut(DesktopLink()).target, second + L"\\Zarvo.exe");
}

TEST_F(InstallTest, RunningCopiesOfTheProductAreEnded) {
    const std::wstring elsewhere = std::wstring(kTestRoot) + L"\\Running";
    ASSERT_TRUE(TInstallForm::EnsureDirectory(elsewhere));
    const std::wstring browser = std::wstring(ZARVO_STANDIN_DIR) + L"\\Zarvo.exe";
    ASSERT_TRUE(CopyFileW(browser.c_str(), (elsewhere + L"\\ZARVSERVICE.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(browser.c_str(), (elsewhere + L"\\MyZarvo.exe").c_str(), FALSE));
    RunningProgram browser1(browser);
    RunningProgram browser2(browser);
    RunningProgram service(elsewhere + L"\\ZARVSERVICE.EXE");
    RunningProgram lookalike(elsewhere + L"\\MyZarvo.exe");
    ASSERT_TRUE(browser1.Running() && browser2.Running() && service.Running() && lookalike.Running());

    // The browser also runs from the directory that is being installed over.
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    RunningProgram installed(dir + L"\\Zarvo.exe");
    ASSERT_EQ(Install(dir), L"") << "the running browser's file is replaced";

    EXPECT_FALSE(browser1.Running());
    EXPECT_FALSE(browser2.Running());
    EXPECT_FALSE(service.Running());
    EXPECT_FALSE(installed.Running());
    EXPECT_TRUE(lookalike.Running()) << "MyZarvo.exe is not Zarvo.exe";
}

TEST_F(InstallTest, PlainFileNamedDataStopsAtTheSecondPayload) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_TRUE(TInstallForm::EnsureDirectory(dir));
    WriteBytes(dir + L"\\Data", "not a directory");
    const std::wstring error = Install(dir);
    EXPECT_EQ(error.rfind(L"Cannot create file \"" + dir + L"\\Data\\ZarvConfig.ini\". ", 0), 0u) << error;
    EXPECT_EQ(Progress(), 4);
    EXPECT_TRUE(Exists(dir + L"\\whatsnew.txt"));
    EXPECT_TRUE(Exists(InstallMain::TempDir + L"\\ZarvConfig.ini")) << "the temporary copy stays";
    DeleteFileW((InstallMain::TempDir + L"\\ZarvConfig.ini").c_str());
    EXPECT_FALSE(Exists(DesktopLink()));
    ExpectNothingRegistered();
    EXPECT_EQ(Window().ActivePage(), ProcessTabSheet) << "the window stays on the copying page";
}

TEST_F(InstallTest, FileInTheWayOfTheProgramGroupStopsTheShortcuts) {
    WriteBytes(ProgramGroup(), "a file, not a folder");
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    EXPECT_EQ(Install(dir), L"I/O error 183");
    EXPECT_EQ(Progress(), 35);
    EXPECT_TRUE(ReadShortcut(DesktopLink()).exists) << "the desktop shortcut came first";
    ExpectNothingRegistered();
    DeleteFileW(ProgramGroup().c_str());
}

TEST_F(InstallTest, DestinationHeldOpenIsReportedWithTheSystemsText) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_TRUE(TInstallForm::EnsureDirectory(dir));
    WriteBytes(dir + L"\\Zarvo.exe", "old browser");
    UniqueHandle holder(
        CreateFileW((dir + L"\\Zarvo.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(Install(dir), L"Cannot create file \"" + dir + L"\\Zarvo.exe\". Sharing violation");
    EXPECT_EQ(Progress(), 6);
    holder.reset();
    EXPECT_EQ(ReadBytes(dir + L"\\Zarvo.exe"),
              std::vector<unsigned char>({'o', 'l', 'd', ' ', 'b', 'r', 'o', 'w', 's', 'e', 'r'}));
    DeleteFileW((InstallMain::TempDir + L"\\Zarvo.exe").c_str());
}

TEST_F(InstallTest, TrailingBackslashDoublesUp) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo\\";
    ASSERT_EQ(Install(dir), L"");
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, dir + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path").text, dir + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"UninstallString").text,
              L"\"" + dir + L"\\ZarvService.exe\" Uninstall" + L'\0');
    EXPECT_TRUE(Exists(std::wstring(kTestRoot) + L"\\Zarvo\\Lang\\0x0409.ini"));
}

TEST_F(InstallTest, FullDiskEndsWithTheWriteError) {
    // The test run maps a small memory disk as E: where the sandbox allows.
    ULARGE_INTEGER freeBytes{}, total{};
    if (!GetDiskFreeSpaceExW(L"E:\\", &freeBytes, &total, nullptr) || total.QuadPart > 16u * 1024 * 1024)
        GTEST_SKIP() << "no small disk mapped as E:";
    const std::wstring filler = L"E:\\filler.bin";
    // Leave less room than the first payload needs.
    WriteBytes(filler, std::string(static_cast<size_t>(freeBytes.QuadPart) - 4096, 'x'));
    const std::wstring dir = L"E:\\Zarvo";
    EXPECT_EQ(Install(dir), L"Stream write error");
    EXPECT_EQ(Progress(), 2);
    EXPECT_TRUE(Exists(dir + L"\\whatsnew.txt")) << "the partly written file stays";
    EXPECT_FALSE(Exists(dir + L"\\Data\\ZarvConfig.ini"));
    EXPECT_FALSE(Exists(DesktopLink()));
    ExpectNothingRegistered();
    RemoveTree(dir);
    DeleteFileW(filler.c_str());
}

// The status label takes every text whole: a longer one widens it, and one
// after a longer one is never cut short.
TEST_F(InstallTest, StatusLabelFitsEachText) {
    Open();
    HWND label = Window().Control(StatusLabel);
    for (const wchar_t* text :
         {L"正在抽取：ZarvResourcesdll.zip", L"正在", L"正在解压缩：ZarvResources.dll，以及更长的说明"}) {
        Window().SetText(StatusLabel, text);
        HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT client{};
        GetClientRect(label, &client);
        EXPECT_GE(client.right, extent.cx) << text;
        EXPECT_EQ(Window().Text(StatusLabel), text);
    }
}
