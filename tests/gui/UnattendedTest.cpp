#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "payload/Catalogue.h"
#include "system/ComApartment.h"
#include "system/RunningCopies.h"
#include "tests/gui/Driver.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

const wchar_t kRoot[] = L"C:\\Zarvo Unattended";
const wchar_t kLog[] = L"C:\\Zarvo Unattended.log";

std::string Utf8(const std::wstring& text) {
    std::string bytes(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

// The log's lines after the three that place the run (version, command line,
// start time), which are checked, each step's time taken off its line.
std::vector<std::string> LogLines(const std::wstring& path = kLog) {
    const std::string text = ReadText(path);
    EXPECT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "a byte-order mark";
    std::vector<std::string> lines;
    for (std::size_t at = 3, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(std::regex_replace(text.substr(at, end - at), std::regex("（[0-9]+ 毫秒）$"), ""));
    EXPECT_GE(lines.size(), 3u) << text;
    if (lines.size() < 3)
        return {};
    EXPECT_EQ(lines[0], "泽沃浏览器安装程序 1.1.0.2669");
    EXPECT_EQ(lines[1].rfind("命令行：\"", 0), 0u) << lines[1];
    EXPECT_TRUE(std::regex_match(
        lines[2], std::regex("开始时间：20[0-9]{2}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")))
        << lines[2];
    return std::vector<std::string>(lines.begin() + 3, lines.end());
}

// The lines that those texts make in the log.
std::vector<std::string> Utf8Lines(const std::vector<std::wstring>& texts) {
    std::vector<std::string> lines;
    for (const std::wstring& text : texts)
        for (std::size_t at = 0, end = 0; end != std::wstring::npos; at = end + 2) {
            end = text.find(L"\r\n", at);
            lines.push_back(Utf8(text.substr(at, end == std::wstring::npos ? end : end - at)));
        }
    return lines;
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

class Unattended : public testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean() {
        RemoveInstallation(kRoot);
        DeleteFileW(kLog);
    }

    // Runs the installer with the arguments to its end; returns its exit code.
    static DWORD Run(const std::wstring& arguments, const std::wstring& path = InstallerPath()) {
        Installer installer(path, arguments);
        bool shown = false;
        EXPECT_TRUE(WaitUntil([&] {
            shown = shown || installer.ShowsAnyWindow();
            return !installer.Running();
        }));
        EXPECT_FALSE(shown) << "no window and no box";
        return installer.ExitCode();
    }

    // Runs the installer until its one box, which must begin with that text,
    // answers it and returns the exit code; the wizard never shows.
    static DWORD RunToBox(const std::wstring& arguments,
                          const std::wstring& text,
                          const std::wstring& path = InstallerPath()) {
        Installer installer(path, arguments);
        HWND box = installer.WaitForMessageBox();
        EXPECT_TRUE(box) << testing::PrintToString(arguments);
        if (!box)
            return STILL_ACTIVE;
        EXPECT_EQ(::Text(box), L"泽沃浏览器安装程序");
        EXPECT_EQ(MessageBoxText(box).substr(0, text.size()), text);
        EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
        EXPECT_FALSE(installer.ShowsWizard());
        Answer(box, IDOK);
        EXPECT_TRUE(installer.WaitForExit());
        return installer.ExitCode();
    }

    static void ExpectNothingInstalled() {
        EXPECT_FALSE(Exists(std::wstring(kRoot) + L"\\Zarvo"));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
        EXPECT_FALSE(Exists(DesktopLink()));
    }

    ComApartment com_;
};

}  // namespace

TEST_F(Unattended, InstallsIntoTheFolderGivenAndLogsEachStepWithItsTime) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    const std::wstring arguments = L"/quiet /norestart /log " + Quoted(kLog) + L" /D=" + dir;
    ASSERT_EQ(Run(arguments), static_cast<DWORD>(kInstalled));
    ExpectProductInstalled(dir);

    // The window's status texts, in their order, as lines of their own.
    std::vector<std::wstring> shown = {L"安装目录：" + dir, L"正在创建目录，请稍候", L"正在检查使用情况，请稍候"};
    for (const wchar_t* payload : PayloadNames) {
        shown.push_back(L"正在抽取：" + std::wstring(payload) + L".zip");
        shown.push_back(L"正在解压缩：" + PayloadFileName(payload));
    }
    for (const wchar_t* step : {L"正在创建快捷方式", L"正在更新系统键值", L"正在删除生成的临时文件"})
        shown.push_back(step);
    shown.push_back(L"结果：安装完成（退出代码 0）");
    // Between them, each action with the time it took.
    const std::string text = ReadText(kLog);
    std::vector<std::string> statuses;
    for (const std::string& line : LogLines())
        if (text.find(line + "\r\n") != std::string::npos)
            statuses.push_back(line);
    EXPECT_EQ(statuses, Utf8Lines(shown));
    for (const std::wstring& action :
         {L"创建文件夹：" + dir + L"\\Temp\\Update", L"写入新文件：" + dir + L"\\Zarvo.exe",
          L"替换：" + dir + L"\\Lang\\0x0409.ini",
          L"写入注册表值：HKLM\\" + std::wstring(kUninstall) + L"\\DisplayVersion", std::wstring(L"删除保留的旧文件")})
        EXPECT_NE(text.find(Utf8(action) + "（"), std::string::npos) << Utf8(action);
    EXPECT_NE(text.find(Utf8(arguments) + "\r\n"), std::string::npos) << "the command line";
}

// Programs that run from the install folder are asked to close. With
// /NoForceCloseApplications one that refuses stops the run, nothing changed,
// and one without a window is left running too; otherwise the browser saves
// and closes, and the refusing updater and the hung service are ended at the
// bound, with the one without a window that waited for them, the run then laying down the
// product's own files well within a deployment tool's time-out.
TEST_F(Unattended, RunningProgramsAreAskedAndEndedOnlyWhenTheyWillNotClose) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    const std::wstring arguments = L"/quiet /log " + Quoted(kLog) + L" /D=" + dir;
    ASSERT_TRUE(MakeFolders(dir));
    RunningProgram windowless = StartTestBrowser(dir + L"\\Zarvo.exe", L"nowindow");
    RunningProgram updater = StartTestBrowser(dir + L"\\ZarvUpdate.exe", L"refuse");
    EXPECT_EQ(Run(L"/NoForceCloseApplications " + arguments), static_cast<DWORD>(kProgramsInUse));
    EXPECT_TRUE(windowless.Running());
    EXPECT_TRUE(updater.Running());
    EXPECT_FALSE(Exists(dir + L"\\Lang"));
    EXPECT_EQ(LogLines().back(), Utf8(L"结果：程序仍在运行，未做任何更改（退出代码 15618）"));

    RunningProgram browser = StartTestBrowser(dir + L"\\Zarvo.exe", L"obey");
    RunningProgram service = StartTestBrowser(dir + L"\\ZarvService.exe", L"hang");
    const DWORD start = GetTickCount();
    EXPECT_EQ(Run(arguments), static_cast<DWORD>(kInstalled));
    EXPECT_LT(GetTickCount() - start, 60000u);
    for (const RunningProgram* program : {&windowless, &updater, &browser, &service})
        EXPECT_FALSE(program->Running());
    EXPECT_EQ(ReadText(dir + L"\\Zarvo.exe.saved"), "saved");
    ExpectProductInstalled(dir);
    const std::string text = ReadText(kLog);
    for (const char* closed :
         {"已关闭程序：Zarvo.exe（进程 [0-9]+，应请求退出，", "已结束程序：Zarvo.exe（进程 [0-9]+，没有窗口，",
          "已结束程序：ZarvUpdate.exe（进程 [0-9]+，拒绝关闭，", "已结束程序：ZarvService.exe（进程 [0-9]+，未响应，"})
        EXPECT_TRUE(std::regex_search(text, std::regex(closed))) << closed << "\n" << text;

    // The browser that it closed runs again, from the new file, as its user;
    // with /NoRestartApplications it is closed and stays so.
    // Handed to the shell as the run ends, it is found once it has started;
    // where an earlier test ended the desktop shell, the log says that
    // nothing was started, and why.
    if (!std::regex_search(text, std::regex("已重新启动：.*Zarvo\\.exe（用户 S-1-5-"))) {
        EXPECT_TRUE(std::regex_search(text, std::regex("未重新启动，桌面外壳不可用：.*Zarvo\\.exe"))) << text;
        EXPECT_TRUE(FindRunningCopies(dir).empty());
        return;
    }
    std::vector<RunningCopy> again;
    ASSERT_TRUE(WaitUntil([&] { return (again = FindRunningCopies(dir)).size() == 1; }));
    EXPECT_EQ(again[0].program, 0u);
    EXPECT_EQ(Run(L"/NoRestartApplications " + arguments), static_cast<DWORD>(kInstalled));
    EXPECT_TRUE(FindRunningCopies(dir).empty());
    EXPECT_EQ(ReadText(kLog).find("已重新启动"), std::string::npos);
}

TEST_F(Unattended, RefusedFolderEndsWithItsCodeAndChangesNothing) {
    // Windows would drop the trailing dot and install into "Zarvo".
    EXPECT_EQ(Run(Quoted(L"/LOG=" + std::wstring(kLog)) + L" /s /D=" + kRoot + L"\\Zarvo.  "),
              static_cast<DWORD>(kFolderRefused));
    EXPECT_EQ(LogLines(),
              Utf8Lines({L"安装目录：" + std::wstring(kRoot) + L"\\Zarvo.", L"安装目录格式不正确，请重新选择！",
                         L"结果：安装目录不可用，未安装任何文件（退出代码 1625）"}));
    EXPECT_FALSE(Exists(kRoot));
    ExpectNothingInstalled();

    // A folder that other accounts may change, and what the log says of it.
    const std::wstring open = std::wstring(kRoot) + L"\\Open";
    ASSERT_TRUE(CreateDirectoryW(kRoot, nullptr) && CreateDirectoryW(open.c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(open));
    EXPECT_EQ(Run(L"/S " + Quoted(L"/LOG=" + std::wstring(kLog)) + L" /D=" + open + L"\\Zarvo"),
              static_cast<DWORD>(kFolderRefused));
    const std::vector<std::string> lines = LogLines();
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), Utf8(L"文件夹“" + open + L"”允许其他账户重命名或替换其中的安装目录。")),
        lines.end());
    EXPECT_EQ(lines.back(), Utf8(L"结果：安装目录不可用，未安装任何文件（退出代码 1625）"));
    EXPECT_FALSE(Exists(open + L"\\Zarvo"));
    ExpectNothingInstalled();
}

// A download damaged on its way: one byte of the browser's payload changed.
TEST_F(Unattended, DamagedCopyTellsSoOnceAndChangesNothing) {
    std::vector<unsigned char> image = ReadBytes(InstallerPath());
    const std::wstring build = InstallerPath().substr(0, InstallerPath().rfind(L'\\'));
    const std::vector<unsigned char> container = ReadBytes(build + L"\\payloads\\Zarvoexe.container");
    const auto at = std::search(image.begin(), image.end(), container.begin(), container.end());
    ASSERT_NE(at, image.end());
    at[container.size() / 2] ^= 1;
    ASSERT_TRUE(CreateDirectoryW(kRoot, nullptr));
    const std::wstring copy = std::wstring(kRoot) + L"\\ZarvoSetup.exe";
    WriteBytes(copy, std::string(image.begin(), image.end()));

    EXPECT_EQ(RunToBox(L"", L"安装程序已损坏，请重新下载。", copy), static_cast<DWORD>(kInstallerDamaged));
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    EXPECT_EQ(Run(L"/S " + Quoted(L"/LOG=" + std::wstring(kLog)) + L" /D=" + dir, copy),
              static_cast<DWORD>(kInstallerDamaged));
    EXPECT_EQ(LogLines(),
              Utf8Lines({L"安装程序已损坏，请重新下载。", L"结果：安装程序已损坏，未做任何更改（退出代码 1620）"}));
    ExpectNothingInstalled();
}

// Whatever the line asks, an option that is not taken, in the wrong place,
// given twice or without its value, or misspelt as other installers spell
// theirs, is told and nothing is done; the wizard never opens, and with /S,
// /quiet or /passive no box waits either, also for the list of options.
TEST_F(Unattended, CommandLinesNotTakenChangeNothing) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    const struct {
        std::wstring arguments;
        const wchar_t* refused;  // null: the list of options, asked for
    } boxed[] = {
        {L"/?", nullptr},
        {L"/help /D=" + dir, nullptr},
        {L"/qn", L"/qn"},
        {L"/DesktopShortcut=false /DesktopShortcut=true", L"/DesktopShortcut=true"},
    };
    for (const auto& c : boxed) {
        const DWORD code = RunToBox(c.arguments, c.refused ? RefusedOptionText(c.refused) : UsageText());
        EXPECT_EQ(code, static_cast<DWORD>(c.refused ? kInvalidCommandLine : kInstalled))
            << testing::PrintToString(c.arguments);
    }
    EXPECT_EQ(Run(L"/passive /?"), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(Run(L"/passive /FOO"), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(Run(L"/passive /D=" + dir + L" /log C:\\x.log"), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(Run(L"/D=" + dir + L" /S"), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(Run(L"/S /D="), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(Run(L"/S /LOG=" + Quoted(kLog) + L" /LOG=" + Quoted(kLog) + L" /D=" + dir),
              static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(Run(L"/S /FOO /LOG=" + Quoted(kLog)), static_cast<DWORD>(kInvalidCommandLine));
    EXPECT_EQ(LogLines(),
              Utf8Lines({RefusedOptionText(L"/FOO"), L"结果：命令行参数无效，未做任何更改（退出代码 1639）"}));
    ExpectNothingInstalled();
}

// Shortcuts left out on the command line, in the wizard and unattended alike,
// are not made; the choice is recorded, and an upgrade keeps it unless its
// line says otherwise. One that an earlier installation made and that is now
// left out stays as it is; one removed is not put back.
TEST_F(Unattended, ShortcutChoiceIsRecordedAndKeptByAnUpgrade) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    const auto expect = [&](bool desktop, bool startMenu, const wchar_t* recorded) {
        EXPECT_EQ(Exists(DesktopLink()), desktop);
        EXPECT_EQ(Exists(ProgramGroup() + L"\\卸载泽沃浏览器.lnk"), startMenu);
        EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"ShortcutOptions").text, recorded + std::wstring(1, 0));
    };
    {
        Installer wizard(InstallerPath(), L"/StartMenuShortcut=false /D=" + dir);
        ASSERT_TRUE(wizard.Window());
        for (int step = 0; step < 3; ++step) {
            ASSERT_TRUE(WaitUntil([&] { return Enabled(wizard.Control(NextStepBtn)); }));
            Settle(wizard.Window());
            ASSERT_TRUE(Press(wizard.Control(NextStepBtn)));
        }
        ASSERT_TRUE(WaitUntil([&] { return Visible(wizard.Control(OverTabSheet)); }));
        PostMessageW(wizard.Window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(wizard.WaitForExit());
    }
    expect(true, false, L"/DesktopShortcut=true /StartMenuShortcut=false");
    ASSERT_EQ(Run(L"/quiet /DesktopShortcut=false"), static_cast<DWORD>(kInstalled));
    expect(true, false, L"/DesktopShortcut=false /StartMenuShortcut=false");
    DeleteFileW(DesktopLink().c_str());
    ASSERT_EQ(Run(L"/quiet"), static_cast<DWORD>(kInstalled));
    expect(false, false, L"/DesktopShortcut=false /StartMenuShortcut=false");
    ASSERT_EQ(Run(L"/quiet /StartMenuShortcut=true"), static_cast<DWORD>(kInstalled));
    expect(false, true, L"/DesktopShortcut=false /StartMenuShortcut=true");
    ExpectFilesInstalled(dir);
}

// The log is written like the product's files: a link on the way to its
// folder refuses it, as does a path that names no file of its own, and a
// second name at its place goes as a name only.
TEST_F(Unattended, LogThroughALinkChangesNothingWhereTheLinkLeads) {
    const std::wstring target = std::wstring(kRoot) + L"\\Target";
    ASSERT_TRUE(CreateDirectoryW(kRoot, nullptr));
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\Sub").c_str(), nullptr));
    const std::wstring kept = target + L"\\Sub\\zarvo.log";
    WriteBytes(kept, "an administrator's file");
    const SymbolicLink link(std::wstring(kRoot) + L"\\Link", target);
    ASSERT_TRUE(link.Made());
    const std::wstring throughLink = std::wstring(kRoot) + L"\\Link\\Sub\\zarvo.log";
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";

    EXPECT_EQ(Run(L"/S /LOG=" + Quoted(throughLink) + L" /D=" + dir), static_cast<DWORD>(kLogNotOpened));
    // A stream of a file, and paths longer than the system takes, are no file
    // of their own on a disk either.
    const std::wstring stream = std::wstring(kRoot) + L"\\zarvo.log:stream";
    for (const std::wstring& log :
         {stream, std::wstring(kRoot) + L"\\" + std::wstring(1100, L'x'), L"C:\\" + std::wstring(2000, L'x')})
        EXPECT_EQ(Run(L"/S /LOG=" + Quoted(log) + L" /D=" + dir), static_cast<DWORD>(kLogNotOpened)) << log.size();
    EXPECT_FALSE(Exists(std::wstring(kRoot) + L"\\zarvo.log"));
    EXPECT_FALSE(Exists(stream));
    // The box goes on with the system's words for why.
    EXPECT_EQ(RunToBox(L"/log " + Quoted(throughLink), L"无法创建日志文件：" + throughLink + L"\r\n"),
              static_cast<DWORD>(kLogNotOpened));
    ExpectNothingInstalled();

    const std::wstring secondName = std::wstring(kRoot) + L"\\zarvo.log";
    ASSERT_TRUE(CreateHardLinkW(secondName.c_str(), kept.c_str(), nullptr));
    EXPECT_EQ(Run(L"/S /LOG=" + Quoted(secondName) + L" /D=" + dir), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(LogLines(secondName).back(), Utf8(L"结果：安装完成（退出代码 0）"));
    EXPECT_EQ(ReadText(kept), "an administrator's file");
}

TEST_F(Unattended, PassiveShowsTheCopyingPageOnlyAndClosesItself) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    Installer installer(InstallerPath(), L"/passive /LOG=" + Quoted(kLog) + L" /D=" + dir);
    HWND window = installer.Window();
    ASSERT_TRUE(window) << "the window shows";
    for (ControlId page : {WelcomeTabSheet, LisenseTabSheet, DirTabSheet})
        EXPECT_FALSE(Visible(installer.Control(page))) << page;
    EXPECT_FALSE(Enabled(installer.Control(CancelBtn)));
    ASSERT_TRUE(installer.WaitForExit());
    EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kInstalled));
    ExpectProductInstalled(dir);
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(lines.empty() ? "" : lines.back(), "结果：安装完成（退出代码 0）");
}

// One setup at a time, whichever session runs it; the lock is the system's to
// release, and one left by a run that a power cut ended is taken over.
TEST_F(Unattended, SecondSetupIsToldAndChangesNothing) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    wchar_t windows[MAX_PATH] = {};
    const std::wstring lock =
        std::wstring(windows, GetSystemWindowsDirectoryW(windows, MAX_PATH)) + L"\\ZarvoSetup.lock";
    {
        Installer first;
        ASSERT_TRUE(first.Window());
        // Only administrators and the system may open it.
        const std::wstring entries = AccessList(lock);
        EXPECT_NE(entries.find(L";SY)"), std::wstring::npos) << entries;
        for (const wchar_t* others : {L";WD)", L";BU)", L";AU)", L";IU)"})
            EXPECT_EQ(entries.find(others), std::wstring::npos) << entries;

        EXPECT_EQ(Run(L"/S /LOG=" + Quoted(kLog) + L" /D=" + dir), static_cast<DWORD>(kAnotherSetupRunning));
        EXPECT_EQ(LogLines(), Utf8Lines({L"另一个泽沃浏览器安装程序正在运行，请等它结束后再试。",
                                         L"结果：另一个安装程序正在运行，未做任何更改（退出代码 1618）"}));
        EXPECT_EQ(RunToBox(L"", L"另一个泽沃浏览器安装程序正在运行，请等它结束后再试。"),
                  static_cast<DWORD>(kAnotherSetupRunning));
        ExpectNothingInstalled();
        EXPECT_TRUE(first.Running());
    }
    EXPECT_FALSE(Exists(lock)) << "gone with the setup that held it";

    WriteBytes(lock, "");
    EXPECT_EQ(Run(L"/S /D=" + dir), static_cast<DWORD>(kInstalled));
    EXPECT_FALSE(Exists(lock));
}

// /uninstall unattended: a file of the product that another program holds
// without sharing fails the removal with nothing changed; then everything goes
// but the user's own file, and with nothing installed the run ends with 0 and
// says so.
TEST_F(Unattended, RemovalEndsWithItsCodeAndTheLogSaysWhy) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    ASSERT_EQ(Run(L"/quiet /D=" + dir), static_cast<DWORD>(kInstalled));
    WriteBytes(dir + L"\\mine.txt", "the user's own");
    const std::wstring arguments = L"/uninstall /quiet /LOG=" + Quoted(kLog);
    {
        const UniqueHandle held(
            CreateFileW((dir + L"\\Lang\\0x0409.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Run(arguments), static_cast<DWORD>(kInstallationFailed));
    }
    ExpectProductInstalled(dir);
    EXPECT_EQ(LogLines().back(), "结果：卸载失败（退出代码 1603）");

    EXPECT_EQ(Run(arguments), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(ReadText(dir + L"\\mine.txt"), "the user's own");
    EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe"));
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_EQ(LogLines().back(), "结果：卸载完成（退出代码 0）");

    // The keys that a removal cut off after its values left, empty, go too.
    HKEY left = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstall, 0, nullptr, 0, KEY_WRITE, nullptr, &left, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(left);
    EXPECT_EQ(Run(arguments), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(LogLines(), Utf8Lines({L"本机没有泽沃浏览器的卸载信息，无需卸载。",
                                     L"结果：本机未安装泽沃浏览器，未做任何更改（退出代码 0）"}));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
}

// The entry's quiet removal, run as a deployment tool runs it (that command
// line as it stands, no window), is the installer kept in its own folder,
// the installer's bytes: it removes the product with 0, and once the system
// has restarted, neither it nor its folder is left.
TEST_F(Unattended, QuietRemovalFromTheEntryRemovesEverythingByTheNextRestart) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    ASSERT_EQ(Run(L"/quiet /D=" + dir), static_cast<DWORD>(kInstalled));
    EXPECT_EQ(ReadBytes(KeptInstaller()), ReadBytes(InstallerPath()));
    std::wstring quiet = ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"QuietUninstallString").text;
    quiet.resize(quiet.find(L'\0'));
    ASSERT_EQ(quiet, Quoted(KeptInstaller()) + L" /uninstall /quiet");
    EXPECT_EQ(RunHidden(quiet), 0u);
    EXPECT_FALSE(Exists(dir));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_FALSE(Exists(KeptInstaller()));
    // Wine's restart does what Windows does at its next start.
    EXPECT_EQ(RunHidden(L"wineboot.exe -r"), 0u);
    EXPECT_FALSE(Exists(KeptFolder()));
}

// A log that would lie in the folder that the run removes from or installs
// into is refused, however that folder is spelt, and nothing is made: it
// would replace a file of the product.
TEST_F(Unattended, LogInTheRunsFolderIsRefused) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    ASSERT_EQ(Run(L"/quiet /D=" + dir), static_cast<DWORD>(kInstalled));
    const std::string browser = ReadText(dir + L"\\Zarvo.exe");
    wchar_t shortDir[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(dir.c_str(), shortDir, MAX_PATH), 0u);
    std::wstring upper = dir;
    CharUpperW(upper.data());
    EXPECT_EQ(Run(L"/uninstall /quiet /LOG=" + Quoted(std::wstring(shortDir) + L"\\Zarvo.exe")),
              static_cast<DWORD>(kLogNotOpened));
    // An upgrade goes into the recorded folder.
    EXPECT_EQ(Run(L"/S /LOG=" + Quoted(upper + L"\\Data\\setup.log")), static_cast<DWORD>(kLogNotOpened));
    EXPECT_EQ(ReadText(dir + L"\\Zarvo.exe"), browser);
    EXPECT_FALSE(Exists(dir + L"\\Data\\setup.log"));
    ExpectProductInstalled(dir);
}
