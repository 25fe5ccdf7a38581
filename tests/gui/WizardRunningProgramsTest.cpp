// The product's programs running from the install folder, as the wizard
// names them, asks them to close and ends them.

#include "tests/gui/WizardFixture.h"

namespace {

// Leads a wizard from its first page to the directory page, sets the folder
// and presses Next there.
void LeaveDirectoryPage(Installer& installer, const std::wstring& dir) {
    for (ControlId page : {LisenseTabSheet, DirTabSheet}) {
        ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
        ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(page)); }));
        Settle(installer.Window());
    }
    SendMessageW(installer.Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
}

// Answers the installer's next box, which must begin with that text.
void AnswerBox(const Installer& installer, const std::wstring& begins, int answer) {
    HWND box = installer.WaitForMessageBox();
    ASSERT_TRUE(box) << "no box beginning " << testing::PrintToString(begins);
    EXPECT_EQ(MessageBoxText(box).substr(0, begins.size()), begins);
    ASSERT_TRUE(MessageBoxHasButton(box, answer));
    Answer(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

const wchar_t kRunning[] = L"以下程序正在运行：";
const wchar_t kNotClosed[] = L"以下程序没有关闭：ZarvUpdate.exe\r\n";

}  // namespace

// The product's browser running from the install folder is named before
// anything changes: Cancel stays on the directory page with it running, and
// OK closes it, once it has saved its work, and installs.
TEST_F(WizardTest, RunningProgramsAreNamedBeforeAnythingChanges) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_TRUE(MakeFolders(dir));
    RunningProgram browser = StartTestBrowser(dir + L"\\Zarvo.exe", L"obey");
    ToDirectoryPage();
    SetInstallDir(dir);
    const std::wstring named = std::wstring(kRunning) + L"Zarvo.exe\r\n";
    for (int answer : {IDCANCEL, IDOK}) {
        Next();
        HWND box = installer_.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageBoxText(box).substr(0, named.size()), named);
        EXPECT_TRUE(browser.Running());
        EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe.saved"));
        EXPECT_FALSE(Exists(dir + L"\\Lang"));
        Answer(box, answer);
        if (answer == IDCANCEL)
            ExpectState(kDirectory);
    }
    ASSERT_TRUE(WaitUntil([&] { return Visible(installer_.Control(OverTabSheet)); }));
    EXPECT_FALSE(browser.Running());
    EXPECT_EQ(ReadText(dir + L"\\Zarvo.exe.saved"), "saved");

    // The browser that it closed is started again, and the finish page's
    // ticked "run" starts no second one beside it. (Where an earlier test
    // ended the desktop shell, neither starts one.)
    ASSERT_TRUE(Press(installer_.Control(OverBtn)));
    ASSERT_TRUE(installer_.WaitForExit());
    if (ReadText(L"C:\\Zarvo Wizard.log").find("已重新启动：") == std::string::npos) {
        ExpectNoUrlLogged();
        EXPECT_EQ(RunningCount(L"Zarvo.exe"), 0);
        return;
    }
    // The pages are handed on after the browser's start: once they are, a
    // second browser would be running.
    ASSERT_TRUE(WaitUntil([] { return LoggedUrls().size() == 2; }));
    EXPECT_EQ(RunningCount(L"Zarvo.exe"), 1);
}

// An updater that refuses to close leads to a box: try again asks it anew;
// stop puts everything back and ends the run, once closed, with 15618; and
// end, in a second run, ends it and installs.
TEST_F(WizardTest, ProgramThatWillNotCloseIsAskedAgainStoppedForOrEnded) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_TRUE(MakeFolders(dir));
    RunningProgram updater = StartTestBrowser(dir + L"\\ZarvUpdate.exe", L"refuse");
    ASSERT_TRUE(installer_.Window());
    LeaveDirectoryPage(installer_, dir);
    AnswerBox(installer_, kRunning, IDOK);
    AnswerBox(installer_, kNotClosed, IDTRYAGAIN);
    AnswerBox(installer_, kNotClosed, IDCANCEL);
    AnswerBox(installer_, L"以下程序没有关闭，未做任何更改：ZarvUpdate.exe", IDOK);
    EXPECT_TRUE(updater.Running());
    EXPECT_FALSE(Exists(dir + L"\\Lang"));
    AskToClose();
    AnswerCloseQuestion(IDOK);
    ASSERT_TRUE(installer_.WaitForExit());
    EXPECT_EQ(installer_.ExitCode(), 15618u);

    Installer second(InstallerPath(), L"");
    ASSERT_TRUE(second.Window());
    LeaveDirectoryPage(second, dir);
    AnswerBox(second, kRunning, IDOK);
    AnswerBox(second, kNotClosed, IDCONTINUE);
    ASSERT_TRUE(WaitUntil([&] { return Visible(second.Control(OverTabSheet)); }));
    EXPECT_FALSE(updater.Running());
    EXPECT_TRUE(Exists(dir + L"\\Lang"));
}
