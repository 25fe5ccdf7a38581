#include "system/Reg.h"
#include "tests/win/InstallFixture.h"

#include <atomic>
#include <optional>
#include <thread>

namespace {

// What a program of the user does while the directory check runs, between
// its first look and the making of the folders.
std::function<void()> racing;
void Race() {
    racing();
}

}  // namespace

TEST_F(InstallTest, FreshDirectoryGetsTheWholeProduct) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Program Files\\Zarvo";
    // The run's own folder for the temporary copies, which only
    // administrators and the system may enter: no entry of its access list
    // lets other users or groups in.
    std::wstring scratchList;
    atDrawing_ = [&] {
        if (scratchList.empty() && !ScratchFolders().empty())
            scratchList = AccessList(ScratchFolders()[0]);
    };
    ASSERT_EQ(Install(dir), L"");
    ExpectProductInstalled(dir);
    // The installer kept for later commands: the running one's bytes, in a
    // folder of the administrators'.
    wchar_t running[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, running, MAX_PATH);
    EXPECT_EQ(ReadBytes(KeptInstaller()), ReadBytes(running));
    EXPECT_EQ(AccessList(KeptFolder()).find(L";WD)"), std::wstring::npos) << AccessList(KeptFolder());
    EXPECT_TRUE(ScratchFolders().empty());
    EXPECT_TRUE(RunNamesLeft(dir).empty());
    EXPECT_NE(scratchList.find(L";SY)"), std::wstring::npos) << scratchList;
    for (const wchar_t* others : {L";WD)", L";BU)", L";AU)", L";IU)"})
        EXPECT_EQ(scratchList.find(others), std::wstring::npos) << scratchList;

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
    // A click sent to the hidden next button, as Wine delivers it, goes nowhere.
    form_->NextStepBtnClick();
    form_->NextStepBtnClick();
    EXPECT_EQ(InstallMain::StepIndex, 3);
    EXPECT_EQ(Window().ActivePage(), OverTabSheet);
    // The copying page is first drawn at the first look at pending events;
    // a status text replaced before the next look never reaches the screen.
    // With no control on it that takes the keyboard focus, the page holds it
    // and hands it on to the finished page.
    ASSERT_FALSE(drawn_.empty());
    EXPECT_EQ(drawn_.front().text, L"正在抽取：whatsnewtxt.zip");
    for (const Drawing& drawing : drawn_) {
        EXPECT_TRUE(drawing.text.rfind(L"正在抽取：", 0) == 0 || drawing.text.rfind(L"正在解压缩：", 0) == 0)
            << drawing.text;
        EXPECT_EQ(GetDlgCtrlID(drawing.focus), ProcessTabSheet) << drawing.text;
    }
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), ::Run);
}

TEST_F(InstallTest, OverAnExistingInstallationReplacesOnlyTheProduct) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    // Longer than any payload: what is not replaced whole would show.
    for (const wchar_t* payload : PayloadNames)
        WriteBytes(PayloadDestination(dir, payload, PayloadFileName(payload)), std::string(1 << 20, 'u'));
    WriteBytes(dir + L"\\bookmarks.dat", "mine");
    WriteBytes(dir + L"\\Data\\user.ini", "mine too");

    ASSERT_EQ(Install(dir), L"");
    ExpectFilesInstalled(dir);
    EXPECT_EQ(ReadBytes(dir + L"\\bookmarks.dat"), std::vector<unsigned char>({'m', 'i', 'n', 'e'}));
    EXPECT_TRUE(Exists(dir + L"\\Data\\user.ini"));
}

// The temporary directory is the user's: another program of the user may
// have put anything there, or pointed it elsewhere. Only the run's own folder
// in it is written, and nothing else anywhere is deleted.
TEST_F(InstallTest, TemporaryDirectoryKeepsWhatIsNotTheRunsOwn) {
    const std::wstring elsewhere = std::wstring(kTestRoot) + L"\\Elsewhere";
    ASSERT_TRUE(MakeFolders(elsewhere));
    const std::wstring victim = std::wstring(kTestRoot) + L"\\victim.txt";
    WriteBytes(victim, "keep me");
    const std::vector<unsigned char> kept = ReadBytes(victim);
    const std::wstring hardLink = TempDirectory() + L"\\whatsnew.txt";
    ASSERT_TRUE(CreateHardLinkW(hardLink.c_str(), victim.c_str(), nullptr));
    for (const wchar_t* name : {L"whatsnew.txt", L"Uninstall.exe", L"ZarvZip.dll"})
        WriteBytes(elsewhere + L"\\" + name, "keep me");

    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    ExpectFilesInstalled(dir);
    EXPECT_TRUE(Exists(hardLink));
    DeleteFileW(hardLink.c_str());

    // TMP and TEMP through a link into another folder.
    const SymbolicLink link(std::wstring(kTestRoot) + L"\\TempLink", elsewhere);
    ASSERT_TRUE(link.Made());
    {
        const ScopedEnvironment tmp(L"TMP", std::wstring(kTestRoot) + L"\\TempLink");
        const ScopedEnvironment temp(L"TEMP", std::wstring(kTestRoot) + L"\\TempLink");
        ASSERT_EQ(Install(dir), L"");
    }
    for (const wchar_t* name : {L"whatsnew.txt", L"Uninstall.exe", L"ZarvZip.dll"})
        EXPECT_EQ(ReadBytes(elsewhere + L"\\" + name), kept) << name;
    EXPECT_EQ(ReadBytes(victim), kept);
}

// Another program of the user renames its own container over each temporary
// copy of the browser that it can find, as fast as it can, while the
// installation runs.
TEST_F(InstallTest, ContainerRenamedOverTheCopyIsNeverInstalled) {
    const std::string planted = "the attacker's program";
    const std::string attacker = Container(planted);
    std::atomic<bool> stop{false};
    std::thread racer([&] {
        const std::wstring temp = TempDirectory();
        for (unsigned n = 0; !stop; ++n) {
            std::vector<std::wstring> targets = ScratchFolders();
            for (std::wstring& target : targets)
                target += L"\\Zarvo.exe";
            targets.push_back(temp + L"\\Zarvo.exe");
            for (const std::wstring& target : targets) {
                if (!Exists(target))
                    continue;
                const std::wstring mine = temp + L"\\racer" + std::to_wstring(n) + L".tmp";
                WriteBytes(mine, attacker);
                if (!MoveFileExW(mine.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
                    DeleteFileW(mine.c_str());
            }
        }
    });
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    int taken = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        EXPECT_EQ(Install(dir), L"") << attempt;
        taken += ReadBytes(dir + L"\\Zarvo.exe") == std::vector<unsigned char>(planted.begin(), planted.end());
    }
    stop = true;
    racer.join();
    EXPECT_EQ(taken, 0) << "installations of 10 that installed the attacker's bytes";
    DeleteFileW((TempDirectory() + L"\\Zarvo.exe").c_str());
}

// An install folder that a program of the user could write to, with links
// planted in it: whatever the installation does with them, their targets
// outside keep what they hold. A hard link loses only the name in the folder.
// Where the system opens a link as itself, it is removed as a name too; where
// it follows links whatever it is asked (Wine does), the installation stops
// at that name instead of writing through it.
TEST_F(InstallTest, LinksInsideTheInstallFolderLeaveTheirTargetsAlone) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    const std::wstring outside = std::wstring(kTestRoot) + L"\\Outside";
    ASSERT_TRUE(MakeFolders(dir));
    ASSERT_TRUE(MakeFolders(outside + L"\\Folder"));
    for (const wchar_t* name : {L"\\hard.txt", L"\\symbolic.txt", L"\\Folder\\mine.ini"})
        WriteBytes(outside + name, "keep me");
    const std::vector<unsigned char> kept = ReadBytes(outside + L"\\hard.txt");
    ASSERT_TRUE(CreateHardLinkW((dir + L"\\whatsnew.txt").c_str(), (outside + L"\\hard.txt").c_str(), nullptr));
    {
        const SymbolicLink file(dir + L"\\Zarvo.exe", outside + L"\\symbolic.txt");
        ASSERT_TRUE(file.Made());
        const std::wstring error = Install(dir);
        EXPECT_TRUE(error.empty() || error.rfind(L"Cannot create file \"" + dir + L"\\Zarvo.exe\". ", 0) == 0) << error;
        // Stopped there, before anything was written, or installed whole.
        EXPECT_EQ(ReadBytes(dir + L"\\whatsnew.txt"), error.empty() ? ReadBytes(PlainSource(L"whatsnewtxt")) : kept);
    }
    EXPECT_EQ(ReadBytes(outside + L"\\hard.txt"), kept);
    EXPECT_EQ(ReadBytes(outside + L"\\symbolic.txt"), kept);

    RemoveTree(dir + L"\\Data");
    const SymbolicLink folder(dir + L"\\Data", outside + L"\\Folder");
    ASSERT_TRUE(folder.Made());
    // Installed with a real folder in the link's place, or stopped at the
    // folder, where Wine follows the link that it is asked to open as itself.
    const std::wstring error = Install(dir);
    EXPECT_TRUE(error.empty() || error == L"I/O error 1921") << error;
    EXPECT_EQ(ReadBytes(outside + L"\\Folder\\mine.ini"), kept);
    EXPECT_FALSE(Exists(outside + L"\\Folder\\ZarvConfig.ini"));
}

// Where users may write to the all-users desktop, one of them may plant a
// second name of a file of theirs at the shortcut's place: the shortcut
// takes the place as a name, and that file keeps its bytes.
TEST_F(InstallTest, ShortcutTakesItsPlaceAsANameOfItsOwn) {
    const std::wstring victim = std::wstring(kTestRoot) + L"\\victim.ini";
    ASSERT_TRUE(MakeFolders(kTestRoot));
    WriteBytes(victim, "keep me");
    const std::vector<unsigned char> kept = ReadBytes(victim);
    ASSERT_TRUE(CreateHardLinkW(DesktopLink().c_str(), victim.c_str(), nullptr));
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    EXPECT_EQ(ReadBytes(victim), kept);
    EXPECT_EQ(ReadShortcut(DesktopLink()).target, dir + L"\\Zarvo.exe");
}

// The text that was checked is the one installed to, even when the edit box
// is made to say another while the installation runs.
TEST_F(InstallTest, TextChangedWhileInstallingIsNotUsed) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    const std::wstring other = std::wstring(kTestRoot) + L"\\Other";
    Open();
    // Sent from another thread, the text arrives at the installation's first pump.
    std::thread changer(
        [&] { SendMessageW(Window().Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str())); });
    const std::wstring error = Install(dir, false);
    changer.join();
    ASSERT_EQ(error, L"");
    EXPECT_EQ(form_->InstallDirectory(), other);
    ExpectFilesInstalled(dir);
    EXPECT_FALSE(Exists(other));
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, dir + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadShortcut(DesktopLink()).target, dir + L"\\Zarvo.exe");
}

TEST_F(InstallTest, SecondDirectoryTakesOverTheRegistration) {
    const std::wstring first = std::wstring(kTestRoot) + L"\\First";
    const std::wstring second = std::wstring(kTestRoot) + L"\\Second";
    ASSERT_EQ(Install(first), L"");
    // The links' commands as the reinstall command leaves them, one since
    // given to another program: the product's follows it, the other's stays,
    // and the removal gives the product's back what it held before.
    const auto links = [](const wchar_t* key) { return RegReadString(HKEY_LOCAL_MACHINE, key, false, L""); };
    const std::wstring http = links(Product::kHttpKey), https = links(Product::kHttpsKey);
    RegWriteString(HKEY_LOCAL_MACHINE, Product::kHttpKey, true, L"", (L"\"" + first + L"\\Zarvo.exe\" \"%1\"").c_str());
    RegWriteString(HKEY_LOCAL_MACHINE, Product::kHttpsKey, true, L"", L"other.exe \"%1\"");
    RegWriteString(HKEY_LOCAL_MACHINE, Product::kReplacedKey, true, Product::kHttpKey, L"before.exe \"%1\"");
    ASSERT_EQ(Install(second), L"");
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, second + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path").text, second + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayIcon").text, second + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadShortcut(DesktopLink()).target, second + L"\\Zarvo.exe");
    EXPECT_EQ(links(Product::kHttpKey), L"\"" + second + L"\\Zarvo.exe\" \"%1\"");
    EXPECT_EQ(links(Product::kHttpsKey), L"other.exe \"%1\"");
    EXPECT_EQ(Remove(), L"");
    EXPECT_EQ(links(Product::kHttpKey), L"before.exe \"%1\"");
    EXPECT_EQ(links(Product::kHttpsKey), L"other.exe \"%1\"");
    RegWriteString(HKEY_LOCAL_MACHINE, Product::kHttpKey, true, L"", http.c_str());
    RegWriteString(HKEY_LOCAL_MACHINE, Product::kHttpsKey, true, L"", https.c_str());
}

// Only copies that run the install folder's own files hold them open; a
// program of one of the three names elsewhere is someone else's.
TEST_F(InstallTest, RunningCopiesOfTheInstalledFilesAreEndedAndNoOthers) {
    const std::wstring elsewhere = std::wstring(kTestRoot) + L"\\Elsewhere";
    ASSERT_TRUE(MakeFolders(elsewhere));
    std::vector<RunningProgram> others;
    for (const wchar_t* name : {L"Zarvo.exe", L"ZARVUPDATE.EXE", L"zarvservice.exe"}) {
        ASSERT_TRUE(CopyFileW((std::wstring(ZARVO_STANDIN_DIR) + L"\\Zarvo.exe").c_str(),
                              (elsewhere + L"\\" + name).c_str(), FALSE));
        others.emplace_back(elsewhere + L"\\" + name);
    }
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    // Another account's copy of the browser, from a folder that the account
    // then turns into a link to the install folder: the system names the
    // program by where it was started, and that name is not opened again.
    const std::wstring theirs = std::wstring(kTestRoot) + L"\\Theirs";
    ASSERT_TRUE(MakeFolders(theirs));
    ASSERT_TRUE(CopyFileW((std::wstring(ZARVO_STANDIN_DIR) + L"\\Zarvo.exe").c_str(), (theirs + L"\\Zarvo.exe").c_str(),
                          FALSE));
    RunningProgram repointed(theirs + L"\\Zarvo.exe");
    ASSERT_TRUE(MoveFileW(theirs.c_str(), (theirs + L"Before").c_str()));
    const SymbolicLink link(theirs, L"Zarvo");
    ASSERT_TRUE(link.Made());
    RunningProgram browser(dir + L"\\Zarvo.exe");
    RunningProgram updater(dir + L"\\ZarvUpdate.exe");
    const std::wstring log = std::wstring(kTestRoot) + L"\\install.log";
    ASSERT_EQ(application_.Log().Open(log), 0u);
    application_.ShowNoBoxes();

    ASSERT_EQ(Install(dir), L"") << "the running files are replaced";
    EXPECT_FALSE(browser.Running());
    EXPECT_FALSE(updater.Running());
    EXPECT_TRUE(repointed.Running());
    for (const RunningProgram& other : others)
        EXPECT_TRUE(other.Running());
    application_.Log() = RunLog();
    const std::string text = ReadText(log);
    EXPECT_NE(text.find("以下程序正在运行：Zarvo.exe、ZarvUpdate.exe\r\n"), std::string::npos) << text;
    EXPECT_EQ(Occurrences(text, "已关闭程序：") + Occurrences(text, "已结束程序："), 2u) << text;
    EXPECT_EQ(text.find("Elsewhere"), std::string::npos) << text;
}

// A failure leaves everything as it was: the files written before it go
// again, and so do the run's temporary copies and the folders it made.
// Every folder of the tree is part of the product, those that stay empty
// too: a file in the way of one fails the installation before anything is
// written, and leaves nothing of it.
TEST_F(InstallTest, FileWhereAProductFolderBelongsFailsTheInstallation) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    for (const wchar_t* folder : {L"\\Data", L"\\Plugins", L"\\Temp"}) {
        ASSERT_TRUE(MakeFolders(dir));
        WriteBytes(dir + folder, "not a directory");
        EXPECT_EQ(Install(dir), L"I/O error 183") << folder;
        EXPECT_EQ(Progress(), 0);
        EXPECT_EQ(ReadText(dir + folder), "not a directory");
        EXPECT_FALSE(Exists(dir + L"\\Lang"));
        EXPECT_TRUE(ScratchFolders().empty());
        EXPECT_TRUE(RunNamesLeft(dir).empty());
        EXPECT_FALSE(Exists(DesktopLink()));
        ExpectNothingRegistered();
        EXPECT_EQ(Window().ActivePage(), ProcessTabSheet) << "the window stays on the copying page";
        RemoveTree(dir);
    }
}

TEST_F(InstallTest, FileInTheWayOfTheProgramGroupStopsTheShortcutsAndUndoesTheInstallation) {
    WriteBytes(ProgramGroup(), "a file, not a folder");
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    EXPECT_EQ(Install(dir), L"I/O error 183");
    EXPECT_EQ(Progress(), 35);
    EXPECT_FALSE(Exists(DesktopLink())) << "the desktop shortcut came first, and went again";
    EXPECT_FALSE(Exists(dir)) << "the folder that the directory check made goes too";
    ExpectNothingRegistered();
    DeleteFileW(ProgramGroup().c_str());
}

// Everything after the directory check names the folder as the system knows
// it: a trailing backslash typed is not registered.
TEST_F(InstallTest, TrailingBackslashIsNotRegistered) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir + L"\\"), L"");
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").text, dir + L"\\Zarvo.exe" + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path").text, dir + L'\0');
    EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"UninstallString").text,
              L"\"" + dir + L"\\ZarvService.exe\" Uninstall" + L'\0');
    EXPECT_TRUE(Exists(dir + L"\\Lang\\0x0409.ini"));
}

// Another program plants a link at the name that the check is about to
// make, or re-points a link on the way once the folder it led to is held: the
// folder is refused, and what the check made goes again. Without a race,
// everything after the check names the folder where it is, through no link.
TEST_F(InstallTest, FolderIsInstalledWhereItWasJudged) {
    const std::wstring root = kTestRoot;
    const std::wstring mine = root + L"\\Mine", judged = root + L"\\Judged";
    ASSERT_TRUE(MakeFolders(mine));
    ASSERT_TRUE(MakeFolders(judged));
    std::optional<SymbolicLink> link;
    InstallFolder checked;
    racing = [&] { link.emplace(root + L"\\Zarvo", mine); };
    const Refusal refusal = CheckInstallFolder(root + L"\\Zarvo", TempDirectory(), checked, application_.Log(), Race);
    EXPECT_EQ(refusal.reason, FolderRefusal::Changed);
    EXPECT_EQ(refusal.message, L"安装目录“" + root + L"\\Zarvo”在检查期间被其他程序更改。\r\n请选择其他文件夹。");
    ASSERT_TRUE(link && link->Made());
    link.reset();

    link.emplace(root + L"\\Way", judged);
    racing = [&] {
        link.reset();
        link.emplace(root + L"\\Way", mine);
    };
    EXPECT_EQ(CheckInstallFolder(root + L"\\Way\\Zarvo", TempDirectory(), checked, application_.Log(), Race).reason,
              FolderRefusal::Changed);
    EXPECT_FALSE(checked.held);
    EXPECT_FALSE(Exists(judged + L"\\Zarvo"));
    EXPECT_FALSE(Exists(mine + L"\\Zarvo"));

    ASSERT_EQ(Install(root + L"\\Way\\Sub\\Zarvo"), L"");
    ExpectProductInstalled(mine + L"\\Sub\\Zarvo");
    CloseForm();
    link.reset();
}

// An error of the directory check is shown, and leaves the wizard on the
// directory page for the next try; a run without a user ends as failed.
TEST_F(InstallTest, ErrorOfTheDirectoryCheckLeavesTheWizardOnTheDirectoryPage) {
    static int checks;
    checks = 0;
    beforeFolderMade_ = [] {
        if (checks++ == 0)
            throw Error(L"the check failed");
    };
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    EXPECT_EQ(Install(dir), L"the check failed");
    EXPECT_EQ(form_->RunOutcome(), Outcome::Failed);
    EXPECT_EQ(InstallMain::StepIndex, 2);
    EXPECT_EQ(Window().ActivePage(), DirTabSheet);
    EXPECT_EQ(Window().Text(OrderLabel), L"当前第3步，共5步。");
    form_->NextStepBtnClick();
    EXPECT_EQ(Window().ActivePage(), OverTabSheet);
    ExpectFilesInstalled(dir);
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
