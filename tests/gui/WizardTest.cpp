#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <shlobj.h>
#include <tlhelp32.h>
#include <cstring>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

const wchar_t kTestRoot[] = L"C:\\ZarvoWizardTest";
const wchar_t kStartPageKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";

struct StateView {
    ControlId page;
    const wchar_t* stepLabel;
    bool lastShown;
    const wchar_t* nextCaption;  // null: hidden
    bool nextEnabled;
    bool cancelEnabled;
    bool overShown;
};

const StateView kWelcome{WelcomeTabSheet, L"当前第1步，共5步。", false, L"下一步", true, true, false};
const StateView kLicence{LisenseTabSheet, L"当前第2步，共5步。", true, L"我同意", true, true, false};
const StateView kDirectory{DirTabSheet, L"当前第3步，共5步。", true, L"下一步", true, true, false};
const StateView kFinished{OverTabSheet, L"当前第5步，共5步。", false, nullptr, false, false, true};

std::wstring UrlLogPath() {
    return std::wstring(kTestRoot) + L"-urls.log";
}

// The http handler for the length of a test: our logger instead of a browser.
class LoggingBrowser {
  public:
    LoggingBrowser() {
        handler_.SetString(L"\"" + std::wstring(ZARVO_URL_LOGGER) + L"\" \"" + UrlLogPath() + L"\" \"%1\"");
    }

  private:
    ScopedRegistryValue handler_{HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", L""};
};

// The addresses handed to the browser, in the order in which they were
// opened: each line of the log begins with the creation time of the logger
// that wrote it, while the lines themselves may arrive in any order.
// `debugPrivilege` tells whether any logger was handed that privilege enabled.
std::vector<std::string> LoggedUrls(bool* debugPrivilege = nullptr) {
    std::multimap<unsigned long long, std::string> byCreation;
    FILE* log = _wfopen(UrlLogPath().c_str(), L"r");
    if (!log)
        return {};
    unsigned long long created = 0;
    int debug = 0;
    char url[1024];
    while (fscanf(log, "%llu %d %1023s", &created, &debug, url) == 3) {
        byCreation.emplace(created, url);
        if (debugPrivilege)
            *debugPrivilege = *debugPrivilege || debug;
    }
    fclose(log);
    std::vector<std::string> urls;
    for (const auto& entry : byCreation)
        urls.push_back(entry.second);
    return urls;
}

std::wstring StartPage() {
    return ReadRegValue(HKEY_CURRENT_USER, kStartPageKey, L"Start Page").text.c_str();
}

std::vector<PROCESSENTRY32W> Processes() {
    std::vector<PROCESSENTRY32W> processes;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        processes.push_back(entry);
    return processes;
}

int RunningCount(const wchar_t* exeName) {
    int count = 0;
    for (const PROCESSENTRY32W& process : Processes())
        count += _wcsicmp(process.szExeFile, exeName) == 0;
    return count;
}

// The process that started the first running process of that name.
DWORD ParentId(const wchar_t* exeName) {
    for (const PROCESSENTRY32W& child : Processes())
        if (_wcsicmp(child.szExeFile, exeName) == 0)
            return child.th32ParentProcessID;
    return 0;
}

void EndAll(const wchar_t* exeName) {
    for (const PROCESSENTRY32W& process : Processes())
        if (_wcsicmp(process.szExeFile, exeName) == 0) {
            UniqueHandle running(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.th32ProcessID));
            TerminateProcess(running.get(), 1);
            WaitForSingleObject(running.get(), kPatience);
        }
}

class WizardTest : public testing::Test {
  protected:
    void SetUp() override {
        DeleteFileW(UrlLogPath().c_str());
        EndAll(L"Zarvo.exe");
        RemoveTree(kTestRoot);
    }
    void TearDown() override {
        EndAll(L"Zarvo.exe");
        RemoveTree(kTestRoot);
    }

    void ExpectState(const StateView& state) {
        EXPECT_TRUE(WaitUntil([&] { return Visible(installer_.Control(state.page)); })) << state.page;
        Settle(installer_.Window());
        for (ControlId page : {WelcomeTabSheet, LisenseTabSheet, DirTabSheet, ProcessTabSheet, OverTabSheet}) {
            if (page != state.page) {
                EXPECT_FALSE(Visible(installer_.Control(page))) << page;
            }
        }
        EXPECT_EQ(Text(installer_.Control(OrderLabel)), state.stepLabel);
        EXPECT_EQ(Visible(installer_.Control(LastStepBtn)), state.lastShown);
        HWND next = installer_.Control(NextStepBtn);
        EXPECT_EQ(Visible(next), state.nextCaption != nullptr);
        if (state.nextCaption) {
            EXPECT_EQ(Text(next), state.nextCaption);
            EXPECT_EQ(Enabled(next), state.nextEnabled);
        }
        EXPECT_TRUE(Visible(installer_.Control(CancelBtn)));
        EXPECT_EQ(Enabled(installer_.Control(CancelBtn)), state.cancelEnabled);
        EXPECT_EQ(Visible(installer_.Control(OverBtn)), state.overShown);
    }

    void Next() { ASSERT_TRUE(Press(installer_.Control(NextStepBtn))); }
    void Back() { ASSERT_TRUE(Press(installer_.Control(LastStepBtn))); }

    void ToDirectoryPage() {
        ASSERT_TRUE(installer_.Window());
        Next();
        ExpectState(kLicence);
        Next();
        ExpectState(kDirectory);
    }

    void SetInstallDir(const std::wstring& dir) {
        SendMessageW(installer_.Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    }

    // Installs into a fresh directory and waits for the finished page.
    void InstallToTheEnd() {
        ToDirectoryPage();
        SetInstallDir(std::wstring(kTestRoot) + L"\\Zarvo");
        Next();
        ASSERT_TRUE(WaitUntil([&] { return Visible(installer_.Control(OverTabSheet)); }));
    }

    void AskToClose() { PostMessageW(installer_.Window(), WM_CLOSE, 0, 0); }

    // The exit question, checked and answered.
    void AnswerCloseQuestion(int answer) {
        HWND box = installer_.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(Text(box), L"泽沃浏览器");
        EXPECT_EQ(MessageBoxText(box), L"确定要退出安装程序吗？");
        EXPECT_TRUE(MessageBoxHasButton(box, IDOK));
        EXPECT_TRUE(MessageBoxHasButton(box, IDCANCEL));
        Answer(box, answer);
        WaitUntil([&] { return !Visible(box); });
    }

    void ExpectEndsWithoutFinishActions() {
        ASSERT_TRUE(installer_.WaitForExit());
        DWORD code = 1;
        GetExitCodeProcess(installer_.Process(), &code);
        EXPECT_EQ(code, 0u);
        ExpectNoUrlLogged();
        EXPECT_EQ(RunningCount(L"Zarvo.exe"), 0);
    }

    // The installer starts a browser before it ends: once every logger that
    // it started has ended, a URL that was handed on is in the log.
    static void ExpectNoUrlLogged() {
        ASSERT_TRUE(WaitUntil([] { return RunningCount(L"url_logger.exe") == 0; }));
        EXPECT_TRUE(LoggedUrls().empty());
    }

    ScopedRegistryValue startPage_{HKEY_CURRENT_USER, kStartPageKey, L"Start Page"};
    LoggingBrowser browser_;
    Installer installer_{InstallerPath(), L"/log \"C:\\Zarvo Wizard.log\""};
};

}  // namespace

TEST_F(WizardTest, NextAndBackWalkThePages) {
    ASSERT_TRUE(installer_.Window());
    ExpectState(kWelcome);
    Next();
    ExpectState(kLicence);
    Back();
    ExpectState(kWelcome);
    Next();
    ExpectState(kLicence);
    Next();
    ExpectState(kDirectory);
    Back();
    ExpectState(kLicence);
    Next();
    ExpectState(kDirectory);
}

TEST_F(WizardTest, UnusableDirectoryIsRejectedAndKept) {
    ToDirectoryPage();
    // Windows would drop the trailing dot and make "Zarvo" instead.
    const std::wstring trailingDot = std::wstring(kTestRoot) + L"\\Zarvo.";
    // A device: the check would make its parent, and the first file fail.
    const std::wstring device = std::wstring(kTestRoot) + L"\\nul";
    for (const std::wstring& dir :
         {std::wstring(), std::wstring(L"Q:\\NoSuchDrive\\Zarvo"), std::wstring(L"Zarvo"), trailingDot, device}) {
        SetInstallDir(dir);
        Next();
        HWND box = installer_.WaitForMessageBox();
        ASSERT_TRUE(box) << "no message";
        EXPECT_EQ(Text(box), L"泽沃浏览器安装程序");
        EXPECT_EQ(MessageBoxText(box), L"安装目录格式不正确，请重新选择！");
        EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
        Answer(box, IDOK);
        ExpectState(kDirectory);
        EXPECT_EQ(Text(installer_.Control(InstallDir)), dir);
    }
    EXPECT_FALSE(Exists(kTestRoot)) << "nothing made for a text that is refused";
}

TEST_F(WizardTest, CloseQuestionAnsweredCancelChangesNothing) {
    ASSERT_TRUE(installer_.Window());
    AskToClose();
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kWelcome);
    Next();
    ASSERT_TRUE(Press(installer_.Control(CancelBtn)));
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kLicence);
    Next();
    AskToClose();
    AnswerCloseQuestion(IDCANCEL);
    ExpectState(kDirectory);
    EXPECT_TRUE(installer_.Running());
}

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

TEST_F(WizardTest, CloseBoxOnTheFinishedPageEndsAtOnce) {
    InstallToTheEnd();
    AskToClose();
    EXPECT_EQ(installer_.MessageBoxBeforeExit(), nullptr) << "no question";
    ExpectEndsWithoutFinishActions();
}

TEST_F(WizardTest, CloseConfirmedWhileCopyingTakesEffectAfterTheInstallation) {
    ToDirectoryPage();
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Closing";
    SetInstallDir(dir);
    // Queued behind the click, the close request is met by the installation's
    // first look at pending events, while the copying page shows.
    Next();
    AskToClose();
    HWND box = installer_.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(Visible(installer_.Control(ProcessTabSheet)));
    EXPECT_FALSE(Visible(installer_.Control(LastStepBtn)));
    EXPECT_FALSE(Enabled(installer_.Control(NextStepBtn)));
    EXPECT_FALSE(Enabled(installer_.Control(CancelBtn)));
    EXPECT_EQ(Text(installer_.Control(StatusLabel)), L"正在抽取：whatsnewtxt.zip");
    AnswerCloseQuestion(IDOK);
    ExpectEndsWithoutFinishActions();
    EXPECT_EQ(GetFileAttributesW((dir + L"\\Lang\\0x0409.ini").c_str()) != INVALID_FILE_ATTRIBUTES, true)
        << "the installation ran to its end";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo", 0,
                            KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

namespace {

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (wcscmp(name, L"SysTreeView32") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The label of the item selected in the dialog's folder tree.
std::wstring SelectedFolderName(HANDLE process, HWND tree) {
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    wchar_t text[MAX_PATH] = {};
    RemoteBlock block(process, sizeof(TVITEMW) + sizeof text);
    TVITEMW request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(TVITEMW));
    request.cchTextMax = MAX_PATH;
    block.Write(0, &request, sizeof request);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.Address()));
    block.Read(sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t));
    return text;
}

// Selects a folder in the installer's open folder dialog, as a click in its
// tree would: the path is placed in the installer's memory for the message.
// The dialog fills its tree while it opens, and a selection made too early is
// lost, so the selection is made until the tree shows it.
void SelectFolder(HANDLE process, HWND dialog, const std::wstring& path, const std::wstring& shownName) {
    HWND tree = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        EnumChildWindows(dialog, FindTree, reinterpret_cast<LPARAM>(&tree));
        return tree != nullptr;
    }));
    const RemoteBlock block(process, (path.size() + 1) * sizeof(wchar_t));
    block.Write(0, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    EXPECT_TRUE(WaitUntil([&] {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(block.Address()));
        Settle(dialog);
        return SelectedFolderName(process, tree).find(shownName) != std::wstring::npos;
    }));
}

}  // namespace

TEST_F(WizardTest, BrowseSetsTheDirectoryBelowThePickedFolder) {
    ToDirectoryPage();
    const std::wstring apps = std::wstring(kTestRoot) + L"\\Apps";
    CreateDirectoryW(kTestRoot, nullptr);
    CreateDirectoryW(apps.c_str(), nullptr);
    CreateDirectoryW((apps + L"\\Zarvo").c_str(), nullptr);
    // Wine tells folders apart by their whole directory entry, last access
    // included: reading the new folders once now keeps the dialog's own first
    // read of them from changing that time between its lookups.
    for (const std::wstring& folder : {apps, apps + L"\\Zarvo"}) {
        WIN32_FIND_DATAW found;
        FindClose(FindFirstFileW((folder + L"\\*").c_str(), &found));
    }
    const std::wstring proposed = Text(installer_.Control(InstallDir));

    ASSERT_TRUE(Press(installer_.Control(BrowseBtn)));
    HWND dialog = installer_.WaitForMessageBox();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Enabled(installer_.Window())) << "the wizard waits while the dialog is open";
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR((rect.left + rect.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred on the monitor";
    EXPECT_NEAR((rect.top + rect.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred on the monitor";
    Answer(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(installer_.Window()); }));
    EXPECT_EQ(Text(installer_.Control(InstallDir)), proposed) << "cancel changes nothing";

    const struct {
        std::wstring picked, shownName, installDir;
    } cases[] = {
        {L"C:\\", L"C:", L"C:\\Zarvo"},
        {apps, L"Apps", apps + L"\\Zarvo"},
        {apps + L"\\Zarvo", L"Zarvo", apps + L"\\Zarvo\\Zarvo"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Press(installer_.Control(BrowseBtn)));
        dialog = installer_.WaitForMessageBox();
        ASSERT_TRUE(dialog);
        SelectFolder(installer_.Process(), dialog, c.picked, c.shownName);
        Answer(dialog, IDOK);
        WaitUntil([&] { return Text(installer_.Control(InstallDir)) == c.installDir; });
        EXPECT_EQ(Text(installer_.Control(InstallDir)), c.installDir);
        WaitUntil([&] { return Enabled(installer_.Window()); });
    }
    ExpectState(kDirectory);
}

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
