// The finished page's actions: the browser started and the pages handed to
// it, the start page written, and nothing of it where nothing is ticked or
// nobody's desktop can be told.

#include "tests/gui/WizardFixture.h"

#include <cstring>

TEST_F(WizardTest, FinishRunsEveryTickedActionInOrder) {
    InstallToTheEnd();
    ExpectState(kFinished);
    ASSERT_TRUE(Press(installer_.Control(OverBtn)));
    ASSERT_TRUE(installer_.WaitForExit());
    EXPECT_TRUE(WaitUntil([] { return RunningCount(L"Zarvo.exe") == 1; }));
    // Wine gives every process the same token: the desktop shell runs as the
    // installer's own user at its own level, so the installer starts the
    // browser itself, with rights that the desktop holds anyway.
    EXPECT_EQ(ParentId(L"Zarvo.exe"), installer_.ProcessId());
    EXPECT_TRUE(WaitUntil([] { return LoggedUrls().size() == 2; }));
    bool debugPrivilege = false;
    EXPECT_EQ(LoggedUrls(&debugPrivilege),
              (std::vector<std::string>{"http://www.zarvo.example/", "http://nav.example.com/?id=2669"}));
    // Enabled only while running copies were ended, and not handed on.
    EXPECT_FALSE(debugPrivilege);

    EXPECT_EQ(StartPage(), L"http://nav.example.com/?id=2669");
    // Logged as every change is, with the hive it went to.
    const std::string log = ReadText(L"C:\\Zarvo Wizard.log");
    const std::size_t at = log.find("\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page（");
    ASSERT_NE(at, std::string::npos);
    const std::size_t line = log.rfind('\n', at) + 1;
    EXPECT_EQ(log.compare(line, std::strlen("写入注册表值：HK"), "写入注册表值：HK"), 0) << log.substr(line, at - line);
}

// With the desktop shell ended, nobody can tell whose desktop it is: the
// installer starts nothing with its own rights, but looks once more after a
// wait, then skips the starts.
TEST_F(WizardTest, FinishWithoutTheDesktopShellStartsNothingItself) {
    InstallToTheEnd();
    EndAll(L"explorer.exe");
    ASSERT_TRUE(Press(installer_.Control(OverBtn)));
    ASSERT_TRUE(installer_.WaitForExit());
    for (const PROCESSENTRY32W& process : Processes())
        EXPECT_NE(process.th32ParentProcessID, installer_.ProcessId()) << process.szExeFile;
    ExpectNoUrlLogged();
    EXPECT_EQ(StartPage(), L"http://nav.example.com/?id=2669") << "the start page is no start";
}

TEST_F(WizardTest, FinishWithNothingTickedOnlyCloses) {
    startPage_.SetString(L"about:blank");
    InstallToTheEnd();
    for (ControlId check : {ControlId::Run, VistaHome, CheckBoxLeadWeb, CheckBoxSetIEHome}) {
        ASSERT_TRUE(Press(installer_.Control(check)));
        ASSERT_TRUE(WaitUntil([&] { return !Checked(installer_.Control(check)); }));
    }
    ASSERT_TRUE(Press(installer_.Control(OverBtn)));
    ExpectEndsWithoutFinishActions();
    EXPECT_EQ(StartPage(), L"about:blank");
}
