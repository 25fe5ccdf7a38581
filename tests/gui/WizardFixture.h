#pragma once

// The wizard driven as a user drives it: its pages' expected states, the
// browser that the finish actions reach (a logger in its place), and the
// product's running programs, shared by the wizard's test files.

#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

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

inline std::wstring UrlLogPath() {
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
inline std::vector<std::string> LoggedUrls(bool* debugPrivilege = nullptr) {
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

inline std::wstring StartPage() {
    return ReadRegValue(HKEY_CURRENT_USER, kStartPageKey, L"Start Page").text.c_str();
}

inline std::vector<PROCESSENTRY32W> Processes() {
    std::vector<PROCESSENTRY32W> processes;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        processes.push_back(entry);
    return processes;
}

inline int RunningCount(const wchar_t* exeName) {
    int count = 0;
    for (const PROCESSENTRY32W& process : Processes())
        count += _wcsicmp(process.szExeFile, exeName) == 0;
    return count;
}

// The process that started the first running process of that name.
inline DWORD ParentId(const wchar_t* exeName) {
    for (const PROCESSENTRY32W& child : Processes())
        if (_wcsicmp(child.szExeFile, exeName) == 0)
            return child.th32ParentProcessID;
    return 0;
}

inline void EndAll(const wchar_t* exeName) {
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
