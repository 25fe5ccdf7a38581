#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kTestRoot[] = L"C:\\ZarvoKeyboardTest";
const wchar_t kStartPageKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";

// Real key presses and clicks: X events from xdotool on the display that Wine
// draws on, which reach the installer through its own message loop as a
// user's do. The shell leaves a mark once xdotool has sent them.
void Xdotool(const std::wstring& arguments) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring mark = std::wstring(temp) + L"zarvo-xdotool.done";
    DeleteFileW(mark.c_str());
    ASSERT_TRUE(RunHost(L"sh", L"-c \"xdotool " + arguments + L" && : >'" + HostPath(mark) + L"'\"", mark, true))
        << "xdotool " << arguments;
}

void Keys(const std::wstring& keys) {
    Xdotool(L"key " + keys);
}

void ClickInto(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    Xdotool(L"mousemove " + std::to_wstring(rect.left + 8) + L" " + std::to_wstring(rect.top + 8) + L" click 1");
}

class KeyboardTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveTree(kTestRoot);
        ASSERT_TRUE(installer_.Window());
    }
    void TearDown() override { RemoveTree(kTestRoot); }

    HWND Control(ControlId id) { return installer_.Control(id); }

    // The installer's control with the keyboard focus.
    HWND Focus() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        const DWORD thread = GetWindowThreadProcessId(installer_.Window(), nullptr);
        return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    }
    bool FocusReaches(ControlId id) {
        return WaitUntil([&] { return Focus() == Control(id); }, 3000);
    }
    bool Shows(ControlId page) {
        return WaitUntil([&] { return Visible(Control(page)); }, 5000);
    }

    // Every window of the page is there and shows.
    void ExpectWhole(ControlId page) {
        for (const ControlDef& def : kControls) {
            ControlId parent = def.parent;
            while (parent != NoControl && parent != page)
                parent = ControlDefOf(parent).parent;
            if (parent == page && def.kind != ControlKind::Image) {
                EXPECT_TRUE(Visible(Control(def.id))) << def.id;
            }
        }
    }

    void AnswerCloseQuestion(int answer) {
        HWND box = installer_.WaitForMessageBox(5000);
        ASSERT_TRUE(box) << "no close question";
        EXPECT_EQ(MessageBoxText(box), L"确定要退出安装程序吗？");
        Answer(box, answer);
        WaitUntil([&] { return !Visible(box); }, 5000);
    }

    void SetInstallDir() {
        const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
        SendMessageW(Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    }

    // Tab goes once round the cycle from wherever the focus is, and Shift+Tab
    // back round.
    void ExpectTabCycle(const std::vector<ControlId>& cycle) {
        const int count = static_cast<int>(cycle.size());
        int start = 0;
        while (start < count && Control(cycle[start]) != Focus())
            ++start;
        ASSERT_LT(start, count) << "the focus is on " << GetDlgCtrlID(Focus());
        for (const int direction : {1, -1}) {
            for (int step = 1; step <= count; ++step) {
                Keys(direction > 0 ? L"Tab" : L"shift+Tab");
                const ControlId expected = cycle[((start + direction * step) % count + count) % count];
                ASSERT_TRUE(FocusReaches(expected)) << (direction > 0 ? "Tab " : "Shift+Tab ") << step << " reached "
                                                    << GetDlgCtrlID(Focus()) << " instead of " << expected;
            }
        }
    }

    ScopedRegistryValue startPage_{HKEY_CURRENT_USER, kStartPageKey, L"Start Page"};
    Installer installer_;
};

}  // namespace

// A multi-line text box in a dialog sends its parent a close request on Esc,
// which a page's default handling answers by destroying the page.
TEST_F(KeyboardTest, EscInEachTextBoxAsksToCloseAndLeavesThePageWhole) {
    const struct {
        ControlId page;
        std::vector<ControlId> textBoxes;
    } pages[] = {
        {WelcomeTabSheet, {MoreIntrod}},
        {LisenseTabSheet, {Lisense}},
        {DirTabSheet, {ContentMemo, InstallDir}},
    };
    for (const auto& p : pages) {
        ASSERT_TRUE(Shows(p.page)) << p.page;
        for (ControlId textBox : p.textBoxes) {
            const std::wstring text = Text(Control(textBox));
            ClickInto(Control(textBox));
            ASSERT_TRUE(FocusReaches(textBox)) << textBox;
            Keys(L"Escape");
            AnswerCloseQuestion(IDCANCEL);
            ExpectWhole(p.page);
            EXPECT_EQ(Text(Control(textBox)), text);
        }
        if (p.page != DirTabSheet) {
            ASSERT_TRUE(Press(Control(NextStepBtn)));
        }
    }
    // Esc handed to a text box around the message loop, as a tool that sends
    // keys may: the box asks its page to close, and the page stays.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Control(ContentMemo), WM_KEYDOWN, VK_ESCAPE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    Settle(installer_.Window());
    ExpectWhole(DirTabSheet);
}

TEST_F(KeyboardTest, TabAndShiftTabCycleThroughEveryEnabledControlOfEachPage) {
    const struct {
        ControlId page;
        std::vector<ControlId> cycle;
    } pages[] = {
        {WelcomeTabSheet, {NextStepBtn, CancelBtn, MoreIntrod}},
        {LisenseTabSheet, {LastStepBtn, NextStepBtn, CancelBtn, Lisense}},
        {DirTabSheet, {LastStepBtn, NextStepBtn, CancelBtn, ContentMemo, InstallDir, BrowseBtn}},
        {OverTabSheet, {OverBtn, ControlId::Run, VistaHome, CheckBoxLeadWeb, CheckBoxSetIEHome}},
    };
    for (const auto& p : pages) {
        if (p.page == OverTabSheet)
            SetInstallDir();
        if (p.page != WelcomeTabSheet) {
            ASSERT_TRUE(Press(Control(NextStepBtn)));
        }
        ASSERT_TRUE(WaitUntil([&] { return Visible(Control(p.page)); }, 60000)) << p.page;
        Settle(installer_.Window());
        ASSERT_NO_FATAL_FAILURE(ExpectTabCycle(p.cycle)) << "on page " << p.page;
    }
    // On the finished page Esc, like the close box, ends the program at once.
    Keys(L"Escape");
    EXPECT_EQ(installer_.WaitForMessageBox(1000), nullptr) << "no question";
    EXPECT_TRUE(installer_.WaitForExit());
}

TEST_F(KeyboardTest, EnterPressesTheForwardButtonOrTheFocusedPushButton) {
    startPage_.SetString(L"about:blank");
    // The welcome page's first focus.
    Keys(L"Return");
    ASSERT_TRUE(Shows(LisenseTabSheet));
    // A push button with the focus presses itself: once clicked, the cancel
    // button asks to close again, and the licence is not agreed to.
    ClickInto(Control(CancelBtn));
    AnswerCloseQuestion(IDCANCEL);
    ASSERT_TRUE(FocusReaches(CancelBtn));
    Keys(L"Return");
    AnswerCloseQuestion(IDCANCEL);
    EXPECT_TRUE(Visible(Control(LisenseTabSheet)));
    // In the licence text Enter is 我同意.
    ClickInto(Control(Lisense));
    ASSERT_TRUE(FocusReaches(Lisense));
    Keys(L"Return");
    ASSERT_TRUE(Shows(DirTabSheet));
    // The directory page's first focus: the installation starts, and the
    // Enter that started it presses nothing on the finished page.
    SetInstallDir();
    Keys(L"Return");
    ASSERT_TRUE(WaitUntil([&] { return Visible(Control(OverTabSheet)); }, 60000));
    Settle(installer_.Window());
    Sleep(200);
    ASSERT_TRUE(installer_.Running());
    // The finished page's first focus is its first check box: Space unticks
    // it and the next two, and Enter is 完成, which sets the start page alone.
    ASSERT_TRUE(FocusReaches(ControlId::Run));
    for (ControlId check : {ControlId::Run, VistaHome, CheckBoxLeadWeb}) {
        if (check != ControlId::Run)
            Keys(L"Tab");
        ASSERT_TRUE(FocusReaches(check)) << check;
        Keys(L"space");
        ASSERT_TRUE(WaitUntil([&] { return !Checked(Control(check)); }, 3000)) << check;
    }
    EXPECT_TRUE(Checked(Control(CheckBoxSetIEHome)));
    Keys(L"Return");
    ASSERT_TRUE(installer_.WaitForExit());
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kStartPageKey, L"Start Page").text.c_str(),
              std::wstring(L"http://nav.example.com/?id=2669"));
}
