#include "system/ComPtr.h"
#include "tests/gui/Driver.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

const wchar_t kTestRoot[] = L"C:\\ZarvoAccessibilityTest";

struct Described {
    std::wstring name, description;
    LONG role = 0;
};

// What a screen reader learns of a control, through the system's
// accessibility library.
Described Describe(HWND control) {
    Described described;
    ComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), object.put_void())))
        return described;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (auto [get, text] : {std::pair{&IAccessible::get_accName, &described.name},
                             {&IAccessible::get_accDescription, &described.description}}) {
        BSTR value = nullptr;
        if ((object.get()->*get)(self, &value) == S_OK && value)
            *text = value;
        SysFreeString(value);
    }
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
        described.role = role.lVal;
    return described;
}

class Com {
  public:
    Com() { CoInitialize(nullptr); }
    ~Com() { CoUninitialize(); }
};

// The status texts that the installer announced, by the window that changed.
std::set<HWND>* announcedBy = nullptr;
int announcements = 0;

void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        announcedBy->insert(window);
        ++announcements;
    }
}

}  // namespace

// Each control that a screen reader reaches has a name that says what it is;
// the pictures are pictures with a description, and the folder box is named by
// its group's caption.
TEST(Accessibility, EveryControlHasAName) {
    Com com;
    Installer installer;
    ASSERT_TRUE(installer.Window());
    for (const AccessibleName& row : kAccessibleNames) {
        const Described described = Describe(installer.Control(row.id));
        EXPECT_EQ(described.name, row.name) << row.id;
        EXPECT_EQ(described.description, row.description ? row.description : L"") << row.id;
        if (ControlDefOf(row.id).kind == ControlKind::Image) {
            EXPECT_EQ(described.role, ROLE_SYSTEM_GRAPHIC) << row.id;
        }
    }
    EXPECT_EQ(Describe(installer.Control(InstallDir)).name, ControlDefOf(TargerGroupBox).caption);
    for (const ControlDef& def : kControls) {
        if (def.kind != ControlKind::Panel && def.kind != ControlKind::PageControl) {
            EXPECT_NE(Describe(installer.Control(def.id)).name, L"") << def.id;
        }
    }
}

// Each new status text while copying is announced to a screen reader.
TEST(Accessibility, StatusWhileCopyingIsAnnounced) {
    RemoveTree(kTestRoot);
    std::set<HWND> changed;
    announcedBy = &changed;
    Installer installer;
    ASSERT_TRUE(installer.Window());
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnNameChange,
                                         installer.ProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    for (ControlId page : {LisenseTabSheet, DirTabSheet}) {
        ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
        ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(page)); }));
    }
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    SendMessageW(installer.Control(InstallDir), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    announcements = 0;
    ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
    // The events come as messages to this thread, each queued before the
    // finished page shows: taken after it is seen, none is left behind.
    EXPECT_TRUE(WaitUntil([&] {
        const bool finished = Visible(installer.Control(OverTabSheet));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return finished && changed.count(installer.Control(StatusLabel));
    }));
    UnhookWinEvent(hook);
    EXPECT_GE(announcements, 30) << "both steps of each of the fifteen files at least";
    announcedBy = nullptr;
    RemoveTree(kTestRoot);
}

// With a dark scheme (as high contrast gives), the banner shows the system's
// colours and no picture, and the page title over it stays readable.
TEST(Accessibility, DarkSchemeKeepsTheBannerReadable) {
    ScopedRegistryValue face(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"ButtonFace");
    ScopedRegistryValue text(HKEY_CURRENT_USER, L"Control Panel\\Colors", L"ButtonText");
    face.SetString(L"0 0 0");
    text.SetString(L"255 255 255");
    Installer installer;
    ASSERT_TRUE(installer.Window());
    ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
    ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(LisenseTabSheet)); }));
    Settle(installer.Window());
    RedrawWindow(installer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle(installer.Window());

    int coloured = 0;
    // The banner's place on its page, as the definition has it at 96 dpi.
    const RECT page = RectInWindow(installer.Control(LisenseTabSheet));
    const ControlDef& logo = ControlDefOf(TopLogo1);
    const RECT banner{page.left + logo.x, page.top + logo.y, page.left + logo.x + logo.width,
                      page.top + logo.y + logo.height};
    for (COLORREF pixel : ClientPixels(installer.Window(), banner)) {
        const int high = std::max({GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
        const int low = std::min({GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
        coloured += high - low > 24;
    }
    EXPECT_EQ(coloured, 0) << "no picture, only the scheme's black and white";
    int light = 0;
    for (COLORREF pixel : ClientPixels(installer.Window(), RectInWindow(installer.Control(LisenseTitle))))
        light += GetGValue(pixel) > 160;
    EXPECT_GT(light, 20) << "the title in the scheme's light text";
}
