// The wizard window's controls as the form sets them (texts, pages, focus,
// progress, pictures) and as its pages paint them. Its creation and layout
// are in WizardLayout.cpp, its messages in WizardMessages.cpp.

#include "ui/WizardWindow.h"

#include "ui/Texts.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

// A label over a picture draws no background, so that the picture shows
// around its letters; the others fill their background with the page's colour,
// which looks the same and lets them repaint on their own.
bool OverPicture(const ControlDef& label) {
    const RECT labelArea{label.x, label.y, label.x + label.width, label.y + label.height};
    for (const ControlDef& def : kControls) {
        const RECT area{def.x, def.y, def.x + def.width, def.y + def.height};
        RECT overlap;
        if (def.kind == ControlKind::Image && def.parent == label.parent && IntersectRect(&overlap, &area, &labelArea))
            return true;
    }
    return false;
}

// In high contrast, or where the system's text is light (a dark scheme), the
// banner's pale picture would leave the page title over it unreadable: the
// page's own colour shows there instead.
bool PlainBanner() {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return true;
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    return GetRValue(text) * 299 + GetGValue(text) * 587 + GetBValue(text) * 114 > 128 * 1000;
}

RECT AreaInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

WizardWindow::WizardWindow(Application& application, FormEvents& events) : application_(application), events_(events) {}

WizardWindow::~WizardWindow() {
    Destroy();
}

void WizardWindow::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    MakePicture(PictureId::Banner);
    SetFocus(Control(NextStepBtn));
}

void WizardWindow::Destroy() {
    if (window_) {
        DestroyWindow(window_);
        window_ = nullptr;
        controls_.fill(nullptr);
    }
}

std::wstring WizardWindow::Text(ControlId id) const {
    if (!window_)
        return {};
    HWND control = Control(id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void WizardWindow::SetText(ControlId id, const wchar_t* text) {
    if (!window_)
        return;
    if (ControlDefOf(id).kind != ControlKind::Label) {
        SetWindowTextW(Control(id), text);
        return;
    }
    // A label may draw a new text at once (Wine's does), over whatever the
    // screen shows there: the directory page, say, while the copying page
    // waits for its first paint. The default procedure only keeps the text,
    // and FitLabel leaves its drawing to the next paint.
    DefWindowProcW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    FitLabel(id, text, false);
    // A screen reader tells the new text, the copying page's status above all.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Control(id), OBJID_CLIENT, CHILDID_SELF);
}

// A later text only widens a label: room to spare shows nothing, and the
// status label changes many times between two pumps.
void WizardWindow::FitLabel(ControlId id, const wchar_t* text, bool created) {
    HWND label = Control(id);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, fonts_[static_cast<int>(ControlDefOf(id).font)].get());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    const RECT before = AreaInParent(label);
    const SIZE size{created ? extent.cx : std::max<LONG>(extent.cx, before.right - before.left), metrics.tmHeight};
    if (size.cx != before.right - before.left || size.cy != before.bottom - before.top)
        SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    // Neither the resize nor the text draws anything at once: all is left to
    // the next paint. Below a label over a picture the picture is drawn again,
    // then the label over it; any other label leaves its parent only what it
    // no longer covers, and draws the rest itself.
    const RECT after = AreaInParent(label);
    RECT parentPart;
    if (OverPicture(ControlDefOf(id))) {
        UnionRect(&parentPart, &before, &after);
        RedrawWindow(GetParent(label), &parentPart, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    }
    if (SubtractRect(&parentPart, &before, &after))
        RedrawWindow(GetParent(label), &parentPart, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    InvalidateRect(label, nullptr, TRUE);
}

void WizardWindow::SetVisible(ControlId id, bool visible) {
    if (!window_)
        return;
    HWND control = Control(id);
    HWND focus = GetFocus();
    const bool hadFocus = focus == control || IsChild(control, focus);
    // Shown or hidden without drawing at once: what changes is drawn at the
    // next paint, so a page turned to as the installation starts is first
    // drawn where the installation lets the window paint.
    SetWindowPos(control, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW |
                     (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    const RECT area = AreaInParent(control);
    RedrawWindow(GetParent(control), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (hadFocus && !visible)
        MoveFocusOn(id);
}

void WizardWindow::SetEnabled(ControlId id, bool enabled) {
    if (!window_)
        return;
    const bool hadFocus = GetFocus() == Control(id);
    EnableWindow(Control(id), enabled);
    if (hadFocus && !enabled)
        MoveFocusOn(id);
}

// The focus moves on to the next control, so that the keyboard keeps working;
// where none takes it, the search gives back the control or (Wine) its parent.
void WizardWindow::MoveFocusOn(ControlId from) {
    HWND next = GetNextDlgTabItem(window_, Control(from), FALSE);
    const LONG style = next ? GetWindowLongW(next, GWL_STYLE) : 0;
    const bool takesFocus = (style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE);
    SetFocus(takesFocus ? next : Control(activePage_));
}

bool WizardWindow::IsChecked(ControlId id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WizardWindow::ShowStepNumber(int number, int count) {
    // A digit each (the navigator keeps to fewer than ten pages).
    wchar_t label[std::size(kStepNumberText)];
    std::copy(std::begin(kStepNumberText), std::end(kStepNumberText), label);
    label[3] = static_cast<wchar_t>(L'0' + number);
    label[7] = static_cast<wchar_t>(L'0' + count);
    SetText(OrderLabel, label);
}

void WizardWindow::Show(const PageDef& def, int number, int count) {
    ShowStepNumber(number, count);
    SetVisible(LastStepBtn, def.back);
    if (def.nextCaption)
        SetText(NextStepBtn, def.nextCaption);
    SetEnabled(NextStepBtn, def.forward);
    SetVisible(NextStepBtn, def.nextCaption != nullptr);
    SetVisible(OverBtn, def.nextCaption == nullptr);
    SetEnabled(CancelBtn, def.cancel);
    SetActivePage(def.page);
}

void WizardWindow::SetActivePage(ControlId page) {
    if (page == activePage_)
        return;
    // The new page shows before the old one hides, so that a focus on the old
    // page moves on to the new one.
    const ControlId old = activePage_;
    activePage_ = page;
    SetVisible(page, true);
    SetVisible(old, false);
}

void WizardWindow::SetProgressMax(int maximum) {
    SendMessageW(Control(ProgressBar), PBM_SETRANGE32, 0, maximum);
}

void WizardWindow::AdvanceProgress(int amount) {
    // The bar would draw its new position at once; like the status label, it
    // is drawn at the next paint, where the installation lets the window paint.
    holdBarPaint_ = true;
    SendMessageW(Control(ProgressBar), PBM_DELTAPOS, static_cast<WPARAM>(amount), 0);
    holdBarPaint_ = false;
}

void WizardWindow::SetImagePicture(ControlId image, const Picture* picture) {
    pictures_[Index(image)] = picture;
    if (!window_)
        return;
    const ControlDef& def = ControlDefOf(image);
    const RECT area = ScaledArea(def);
    RedrawWindow(Control(def.parent), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

RECT WizardWindow::ScaledArea(const ControlDef& def) const {
    return {Scale(def.x), Scale(def.y), Scale(def.x + def.width), Scale(def.y + def.height)};
}

void WizardWindow::PaintContainer(HWND container, HDC dc) {
    RECT client;
    GetClientRect(container, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const auto id = static_cast<ControlId>(GetDlgCtrlID(container));
    if (ControlDefOf(id).kind == ControlKind::Panel)
        DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    // Only pictures that reach into the area being painted are drawn: a label
    // that changes repaints a small area, many times during an installation.
    RECT dirty;
    GetClipBox(dc, &dirty);
    const bool plainBanner = PlainBanner();
    for (const ControlDef& def : kControls) {
        const Picture* picture =
            def.kind == ControlKind::Image && def.parent == id ? pictures_[Index(def.id)] : nullptr;
        const RECT area = ScaledArea(def);
        RECT overlap;
        if (picture && IntersectRect(&overlap, &area, &dirty) && !(plainBanner && picture == &bannerPicture_)) {
            picture->Draw(dc, area.left, area.top);
            if (picture == &bannerPicture_)
                DrawBannerRule(dc, area.left, area.top);
        }
    }
}

LRESULT WizardWindow::ControlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (!IsOwnControl(id))
        return 0;
    const ControlDef& def = ControlDefOf(static_cast<ControlId>(id));
    const bool label = def.kind == ControlKind::Label;
    // Text in the colour made for its background, which high contrast keeps
    // readable: the window's text on white, the buttons' on the pages.
    const int text = def.backdrop == Backdrop::White ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
    SetTextColor(dc, GetSysColor(label && !IsWindowEnabled(control) ? COLOR_GRAYTEXT : text));
    if (label && OverPicture(def)) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    if (!label && def.backdrop == Backdrop::Default)
        return 0;
    const int color = def.backdrop == Backdrop::White ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(color));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(color));
}
