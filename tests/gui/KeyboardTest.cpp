#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kTestRoot[] = L"C:\\ZarvoKeyboardTest";
const wchar_t kStartPageKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";

class KeyboardTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveTree(kTestRoot);
        ASSERT_TRUE(installer_.Window());
    }
    void TearDown() override { RemoveTree(kTestRoot); }

    HWND Control(ControlId id) { return installer_.Control(id); }

    HWND Focus() { return ::Focus(installer_.Window()); }
    bool FocusReaches(ControlId id) {
        return WaitUntil([&] { return Focus() == Control(id); });
    }
    bool Shows(ControlId page) {
        return WaitUntil([&] { return Visible(Control(page)); });
    }
    // Keys typed once the control that is to receive them has the focus.
    testing::AssertionResult Keys(ControlId focused, const wchar_t* keys) {
        if (TypeKeys(Control(focused), keys))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << keys << " for " << static_cast<int>(focused) << ": "
               << (installer_.Running() ? "the focus is on " : "the installer ended, ") << GetDlgCtrlID(Focus());
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
        HWND box = installer_.WaitForMessageBox();
        ASSERT_TRUE(box) << "no close question";
        EXPECT_EQ(MessageBoxText(box), L"确定要退出安装程序吗？");
        Answer(box, answer);
        WaitUntil([&] { return !Visible(box); });
    }

    void SetInstallDir() {
        const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
        SendMessageW(Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    }

    // Tab goes once round the cycle from wherever the focus is, and Shift+Tab
    // back round.
    void ExpectTabCycle(const std::vector<ControlId>& cycle) {
        const int count = static_cast<int>(cycle.size());
        int start = count;
        WaitUntil([&] {
            for (start = 0; start < count && Control(cycle[start]) != Focus(); ++start) {
            }
            return start < count;
        });
        ASSERT_LT(start, count) << "the focus is on " << GetDlgCtrlID(Focus());
        const auto at = [&](int step) { return cycle[(start + step % count + count) % count]; };
        for (const int direction : {1, -1}) {
            for (int step = 1; step <= count; ++step) {
                ASSERT_TRUE(Keys(at(direction * (step - 1)), direction > 0 ? L"Tab" : L"shift+Tab"));
                const ControlId expected = at(direction * step);
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
            ASSERT_TRUE(Click(Control(textBox))) << textBox;
            ASSERT_TRUE(FocusReaches(textBox)) << textBox;
            ASSERT_TRUE(Keys(textBox, L"Escape"));
            AnswerCloseQuestion(IDCANCEL);
            ExpectWhole(p.page);
            EXPECT_EQ(Text(Control(textBox)), text);
        }
        if (p.page != DirTabSheet) {
            ASSERT_TRUE(Press(Control(NextStepBtn)));
        }
    }
    // Esc handed to a text box around the message loop, as a tool that sends
    // keys may: the box asks its page to close, and the page stays. The
    // request is posted; a selection posted after it is made after it.
    HWND memo = Control(ContentMemo);
    Ask(memo, WM_KEYDOWN, VK_ESCAPE);
    PostMessageW(memo, EM_SETSEL, 1, 2);
    WaitUntil([&] { return !IsWindow(memo) || Ask(memo, EM_GETSEL) == MAKELONG(1, 2); });
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
        ASSERT_TRUE(Shows(p.page)) << p.page;
        Settle(installer_.Window());
        ASSERT_NO_FATAL_FAILURE(ExpectTabCycle(p.cycle)) << "on page " << p.page;
    }
    // On the finished page Esc, like the close box, ends the program at once.
    ASSERT_TRUE(Keys(ControlId::Run, L"Escape"));
    EXPECT_EQ(installer_.MessageBoxBeforeExit(), nullptr) << "no question";
    EXPECT_TRUE(installer_.WaitForExit());
}

TEST_F(KeyboardTest, EnterPressesTheForwardButtonOrTheFocusedPushButton) {
    startPage_.SetString(L"about:blank");
    // The welcome page's first focus.
    ASSERT_TRUE(Keys(NextStepBtn, L"Return"));
    ASSERT_TRUE(Shows(LisenseTabSheet));
    // A push button with the focus presses itself: once clicked, the cancel
    // button asks to close again, and the licence is not agreed to.
    ASSERT_TRUE(Click(Control(CancelBtn)));
    AnswerCloseQuestion(IDCANCEL);
    ASSERT_TRUE(Keys(CancelBtn, L"Return"));
    AnswerCloseQuestion(IDCANCEL);
    EXPECT_TRUE(Visible(Control(LisenseTabSheet)));
    // In the licence text Enter is 我同意.
    ASSERT_TRUE(Click(Control(Lisense)));
    ASSERT_TRUE(Keys(Lisense, L"Return"));
    ASSERT_TRUE(Shows(DirTabSheet));
    // The directory page's first focus: the installation starts, and the
    // Enter that started it presses nothing on the finished page.
    SetInstallDir();
    ASSERT_TRUE(Keys(ContentMemo, L"Return"));
    ASSERT_TRUE(Shows(OverTabSheet));
    // The finished page's first focus is its first check box: Space unticks
    // it and the next two, and Enter is 完成, which sets the start page alone.
    // Keys reach the window in the order typed: once a Space has unticked, a
    // stray Enter would have closed the wizard before.
    ControlId previous = ControlId::Run;
    for (ControlId check : {ControlId::Run, VistaHome, CheckBoxLeadWeb}) {
        if (check != previous) {
            ASSERT_TRUE(Keys(previous, L"Tab"));
        }
        ASSERT_TRUE(Keys(check, L"space"));
        ASSERT_TRUE(WaitUntil([&] { return !Checked(Control(check)); })) << check;
        ASSERT_TRUE(installer_.ShowsWizard());
        previous = check;
    }
    EXPECT_TRUE(Checked(Control(CheckBoxSetIEHome)));
    ASSERT_TRUE(Keys(CheckBoxLeadWeb, L"Return"));
    ASSERT_TRUE(installer_.WaitForExit());
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kStartPageKey, L"Start Page").text.c_str(),
              std::wstring(L"http://nav.example.com/?id=2669"));
}
