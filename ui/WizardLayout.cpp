// The wizard window's creation and its layout at a dpi: every size in the
// window definition is at 96 dpi and is scaled here, at creation and again
// when the window moves to a monitor of another scale.
#include "system/DynamicApi.h"
#include "system/SystemError.h"
#include "ui/WizardWindow.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <utility>

namespace {

constexpr wchar_t kFormClass[] = L"TInstallForm";
constexpr wchar_t kPanelClass[] = L"TPanel";
constexpr wchar_t kPageClass[] = L"TTabSheet";
constexpr wchar_t kImageClass[] = L"TImage";

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

HINSTANCE Module() {
    return GetModuleHandleW(nullptr);
}

struct WindowStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowStyle StyleOf(const ControlDef& def) {
    DWORD bordered = (def.flags & Flag::Bordered) ? WS_EX_CLIENTEDGE : 0;
    switch (def.kind) {
        case ControlKind::Panel:
            return {kPanelClass, 0, WS_EX_CONTROLPARENT};
        case ControlKind::PageControl:
            return {WC_TABCONTROLW, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case ControlKind::Page:
            return {kPageClass, 0, WS_EX_CONTROLPARENT};
        case ControlKind::Label:
            return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX, 0};
        case ControlKind::Edit:
            return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Memo:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ((def.flags & Flag::VerticalScroll) ? WS_VSCROLL : 0u),
                    bordered};
        case ControlKind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, 0, 0};
        case ControlKind::Image:
            return {kImageClass, 0, 0};
    }
    return {nullptr, 0, 0};
}

void RegisterClasses(WNDPROC formProc, WNDPROC containerProc, WNDPROC imageProc) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = formProc;
    form.hInstance = Module();
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.hIcon = LoadIconW(Module(), L"MAINICON");
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW container = form;
    container.lpfnWndProc = containerProc;
    container.hIcon = nullptr;
    container.hbrBackground = nullptr;
    for (const wchar_t* name : {kPanelClass, kPageClass}) {
        container.lpszClassName = name;
        RegisterClassExW(&container);
    }
    container.lpfnWndProc = imageProc;
    container.lpszClassName = kImageClass;
    RegisterClassExW(&container);
}

// Vista's composition draws the frame as glass; margins of 0 keep the glass
// out of the client area. Earlier systems have no such call.
void ExtendGlassFrame(HWND window) {
    if (auto extend = Late::DwmExtendFrameIntoClientArea()) {
        MARGINS margins{0, 0, 0, 0};
        extend(window, &margins);
    }
}

// Loaded rather than imported, so that it comes after the library search is
// hardened; by name where the manifest's activation context picks the system's
// copy, and from the system folder on Windows 2000, which has none.
void InitControlClasses() {
    const bool activationContexts = Late::GetCurrentActCtx();
    HMODULE library = activationContexts ? LoadLibraryW(L"comctl32.dll") : LoadSystemLibrary(L"comctl32.dll");
    if (!library)
        RaiseSystemError(GetLastError());
    const auto init = Late::InitCommonControlsEx(library);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    if (init)
        init(&classes);
}

// The dpi of the monitor that the window is on, where the system tells it
// (Windows 10 1607 on); before, the system's, which the window was made for.
int WindowDpi(HWND window, int systemDpi) {
    const auto get = Late::GetDpiForWindow();
    const int dpi = get ? static_cast<int>(get(window)) : 0;
    return dpi ? dpi : systemDpi;
}

// The pictures for 96, 144 and 192 dpi and their sizes at 100 %. The 100 %
// banner is the 200 % one halved; the welcome picture is carried for 100 %,
// which the first page waits for and which decodes three to four times faster.
struct PictureSource {
    const wchar_t* names[3];
    short width, height;
};
constexpr PictureSource kWelcomeSource{{L"WELCOME100", L"WELCOME150", L"WELCOME200"}, 160, 269};
constexpr PictureSource kBannerSource{{L"BANNER200", L"BANNER150", L"BANNER200"}, 485, 60};

}  // namespace

void WizardWindow::Create() {
    InitControlClasses();
    RegisterClasses(&FormProc, &ContainerProc, &ImageProc);

    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    MakeScaledObjects();

    RECT frame{0, 0, Scale(kWindow.clientWidth), Scale(kWindow.clientHeight)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExW(kFormExStyle, kFormClass, kWindow.caption, kFormStyle, x, y, width, height, nullptr,
                              nullptr, Module(), nullptr);
    if (!window_)
        RaiseSystemError(GetLastError());
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    CreateControls();
    ExtendGlassFrame(window_);
    // Per monitor, the screen the window opens on may have a scale other
    // than the system's.
    if (const int dpi = WindowDpi(window_, dpi_); dpi != dpi_)
        SetDpi(dpi, nullptr);
}

void WizardWindow::MakeScaledObjects() {
    struct FontDef {
        int points;
        int weight;
    };
    const FontDef fontDefs[] = {{kWindow.fontPoints, FW_NORMAL}, {10, FW_BOLD}, {14, FW_BOLD}};
    for (size_t i = 0; i < fonts_.size(); ++i)
        fonts_[i].reset(CreateFontW(-Scale(fontDefs[i].points, 72), 0, 0, 0, fontDefs[i].weight, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, kWindow.fontFace));

    MakePicture(PictureId::Welcome);
    // The banner, which the first page does not show, is made once that page
    // is on screen.
    if (IsWindowVisible(window_))
        MakePicture(PictureId::Banner);
}

void WizardWindow::MakePicture(PictureId id) {
    const PictureSource& source = id == PictureId::Banner ? kBannerSource : kWelcomeSource;
    // The picture drawn for this scale, or the nearest larger one, which
    // shrinks to fit; none is ever enlarged but the largest, above 200 %.
    const int carried = dpi_ <= 96 ? 0 : dpi_ <= 144 ? 1 : 2;
    (id == PictureId::Banner ? bannerPicture_ : welcomePicture_) =
        Picture::FromResource(source.names[carried], {Scale(source.width), Scale(source.height)});
}

// A line of the banner's blue-grey below its picture and a white one below
// that, each a whole number of pixels at every scale: drawn, it stays sharp
// where the picture is shrunk, and the picture has no edge along its foot,
// which costs a JPEG dear.
void WizardWindow::DrawBannerRule(HDC dc, int x, int y) const {
    for (int row = 0; row < 2; ++row) {
        const int top = kBannerSource.height + row;
        const RECT line{x, y + Scale(top), x + Scale(kBannerSource.width), y + Scale(top + 1)};
        SetBkColor(dc, row ? RGB(255, 255, 255) : RGB(0xAF, 0xC1, 0xD6));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
    }
}

void WizardWindow::CreateControls() {
    for (const ControlDef& def : kControls) {
        if (def.kind == ControlKind::Image)
            pictures_[Index(def.id)] = def.picture == PictureId::Welcome  ? &welcomePicture_
                                       : def.picture == PictureId::Banner ? &bannerPicture_
                                                                          : nullptr;
        const WindowStyle ws = StyleOf(def);
        DWORD style = ws.style | WS_CHILD | WS_CLIPSIBLINGS;
        if (!(def.flags & Flag::Hidden))
            style |= WS_VISIBLE;
        if (def.flags & Flag::Disabled)
            style |= WS_DISABLED;
        if (def.flags & Flag::TabStop)
            style |= WS_TABSTOP;
        // Placed and given its font with the others, once all are made.
        HWND parent = def.parent == NoControl ? window_ : Control(def.parent);
        HWND control = CreateWindowExW(ws.exStyle, ws.className, def.caption, style, 0, 0, 0, 0, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), Module(), nullptr);
        if (!control)
            RaiseSystemError(GetLastError());
        controls_[Index(def.id)] = control;

        // A subclassed control finds the window through its own data.
        auto subclass = [&](WNDPROC proc) {
            SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            return reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
        };
        switch (def.kind) {
            case ControlKind::Panel:
            case ControlKind::Page:
            case ControlKind::Image:
                SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
                break;
            case ControlKind::GroupBox:
                groupBoxDefaultProc_ = subclass(&GroupBoxProc);
                break;
            case ControlKind::Edit:
            case ControlKind::Memo:
                editDefaultProc_ = subclass(&EditProc);
                break;
            case ControlKind::CheckBox:
                SendMessageW(control, BM_SETCHECK, (def.flags & Flag::Checked) ? BST_CHECKED : BST_UNCHECKED, 0);
                break;
            case ControlKind::ProgressBar:
                SendMessageW(control, PBM_SETRANGE32, 0, 150);
                progressBarDefaultProc_ = subclass(&ProgressBarProc);
                break;
            default:
                break;
        }
    }
    PlaceControls();
    // A picture's window lies below the labels drawn over the picture, which
    // it would otherwise clip away; it draws nothing itself.
    for (const ControlDef& def : kControls)
        if (def.kind == ControlKind::Image)
            SetWindowPos(Control(def.id), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void WizardWindow::PlaceControls() {
    for (const ControlDef& def : kControls) {
        HWND control = Control(def.id);
        SetWindowPos(control, nullptr, Scale(def.x), Scale(def.y), Scale(def.width), Scale(def.height),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<int>(def.font)].get()), FALSE);
        if (def.kind == ControlKind::Label)
            FitLabel(def.id, Text(def.id).c_str(), true);
    }
}

void WizardWindow::SetDpi(int dpi, const RECT* suggested) {
    dpi_ = dpi;
    // The old fonts live until no control uses them.
    std::array<UniqueGdiObject, 3> oldFonts;
    oldFonts.swap(fonts_);
    MakeScaledObjects();
    PlaceControls();

    // The frame's own size follows the monitor's scale with per-monitor v2,
    // the system's otherwise: the client area is measured and made right.
    RECT place;
    GetWindowRect(window_, &place);
    if (suggested)
        place = *suggested;
    SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window_, &client);
    const int moreWidth = Scale(kWindow.clientWidth) - client.right;
    const int moreHeight = Scale(kWindow.clientHeight) - client.bottom;
    if (moreWidth || moreHeight)
        SetWindowPos(window_, nullptr, 0, 0, place.right - place.left + moreWidth,
                     place.bottom - place.top + moreHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
