#include "app/ExitCode.h"
#include "system/Product.h"
#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kTestRoot[] = L"C:\\ZarvoExitCodeTest";

class ExitCodeTest : public testing::Test {
  protected:
    void SetUp() override { RemoveTree(kTestRoot); }
    void TearDown() override { RemoveTree(kTestRoot); }

    // Asks to close the window as its close box does and answers the question OK.
    static void CloseWithOk(Installer& installer, const wchar_t* question = L"确定要退出安装程序吗？") {
        PostMessageW(installer.Window(), WM_CLOSE, 0, 0);
        HWND box = installer.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageBoxText(box), question);
        Answer(box, IDOK);
        ASSERT_TRUE(installer.WaitForExit());
    }
};

}  // namespace

// The wizard left before the installation began, on any page and after a
// folder was refused, is a cancelled installation.
TEST_F(ExitCodeTest, WizardLeftBeforeTheInstallationIsCancelled) {
    for (int page = 0; page < 3; ++page) {
        Installer installer;
        ASSERT_TRUE(installer.Window());
        for (int step = 0; step < page; ++step)
            ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
        if (page == 2) {
            ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(DirTabSheet)); }));
            SendMessageW(installer.Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Q:\\Zarvo."));
            ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
            HWND refusal = installer.WaitForMessageBox();
            ASSERT_TRUE(refusal);
            Answer(refusal, IDOK);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal) || !Visible(refusal); }));
        }
        CloseWithOk(installer);
        EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kCancelled)) << page;
    }
}

// An error while copying is a failed installation, however the window is
// closed afterwards; the log has the error, the question and its answer.
TEST_F(ExitCodeTest, ErrorWhileCopyingIsAFailedInstallation) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_TRUE(CreateDirectoryW(kTestRoot, nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    WriteBytes(dir + L"\\Data", "a file, not a folder");
    const std::wstring log = std::wstring(kTestRoot) + L"\\setup.log";
    Installer installer(InstallerPath(), L"/log " + log + L" /D=" + dir);
    ASSERT_TRUE(installer.Window());
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(WaitUntil([&] { return Enabled(installer.Control(NextStepBtn)); }));
        Settle(installer.Window());
        ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
    }
    HWND error = installer.WaitForMessageBox();
    ASSERT_TRUE(error);
    const std::wstring text = MessageBoxText(error);
    EXPECT_EQ(text, L"I/O error 183.") << "a file where the Data folder belongs";
    Answer(error, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error) || !Visible(error); }));
    CloseWithOk(installer);
    EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kInstallationFailed));

    const std::string written = ReadText(log);
    for (const char* line :
         {"安装目录：C:\\ZarvoExitCodeTest\\Zarvo\r\n", "失败：创建文件夹：C:\\ZarvoExitCodeTest\\Zarvo\\Data：",
          "确定要退出安装程序吗？\r\n回答：确定\r\n", "结果：安装失败（退出代码 1603）\r\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
}

// Where the installed release is newer, the wizard asks before it opens:
// Cancel ends the run with nothing changed, OK goes on. The same release, or
// /AllowDowngrade, is not asked about.
TEST_F(ExitCodeTest, NewerReleaseIsReplacedOnlyWhenTheUserSaysSo) {
    ScopedRegistryValue version(HKEY_LOCAL_MACHINE, Product::kUninstallKey, L"DisplayVersion");
    version.SetString(L"1.10.0.0");
    for (int answer : {IDCANCEL, IDOK}) {
        Installer installer;
        HWND box = installer.WaitForMessageBox();
        ASSERT_TRUE(box);
        const std::wstring text = MessageBoxText(box);
        EXPECT_NE(text.find(L"较新的泽沃浏览器 1.10.0.0，本安装程序是较旧的 " ZARVO_VERSION_TEXT), std::wstring::npos)
            << text;
        EXPECT_FALSE(installer.ShowsWizard());
        Answer(box, answer);
        if (answer == IDOK) {
            ASSERT_TRUE(installer.Window());
            CloseWithOk(installer);
        } else {
            ASSERT_TRUE(installer.WaitForExit());
            EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kNewerInstalled));
        }
    }
    for (const wchar_t* arguments : {L"/AllowDowngrade", L""}) {
        if (!*arguments)
            version.SetString(ZARVO_VERSION_TEXT);
        Installer installer(InstallerPath(), arguments);
        ASSERT_TRUE(installer.Window()) << testing::PrintToString(std::wstring(arguments));
        CloseWithOk(installer);
    }
}

// The removal's wizard asks first: left there, it is a cancelled removal with
// nothing changed; "卸载" goes on to its own last page, whose button ends it
// with the product gone.
TEST_F(ExitCodeTest, RemovalAsksFirstAndLeftThereChangesNothing) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    {
        Installer setup(InstallerPath(), L"/quiet /D=" + dir);
        ASSERT_TRUE(setup.WaitForExit());
        ASSERT_EQ(setup.ExitCode(), static_cast<DWORD>(kInstalled));
    }
    for (bool remove : {false, true}) {
        Installer installer(InstallerPath(), L"/uninstall");
        ASSERT_TRUE(installer.Window());
        EXPECT_EQ(Text(installer.Control(NameLabel)), L"卸载 泽沃浏览器");
        EXPECT_EQ(Text(installer.Control(NextStepBtn)), L"卸载");
        if (!remove) {
            CloseWithOk(installer, L"确定要退出卸载程序吗？");
            EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kCancelled));
            EXPECT_TRUE(Exists(dir + L"\\Zarvo.exe"));
            continue;
        }
        ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
        ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(OverTabSheet)); }));
        EXPECT_EQ(Text(installer.Control(OverTitleLabel)), L"卸载完成");
        EXPECT_FALSE(Visible(installer.Control(::Run)));
        ASSERT_TRUE(Press(installer.Control(OverBtn)));
        ASSERT_TRUE(installer.WaitForExit());
        EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kInstalled));
        EXPECT_FALSE(Exists(dir));
    }
}
