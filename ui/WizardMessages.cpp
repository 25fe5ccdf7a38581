// What the wizard window answers: its messages, its keys and its controls'
// own procedures, which hand the user's presses to the form.

#include "ui/WizardWindow.h"

#include "ui/AccessibleControl.h"
#include "ui/Application.h"

#include <commctrl.h>
#include <oleacc.h>

namespace {

WizardWindow* WindowOf(HWND window) {
    return reinterpret_cast<WizardWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Containers hand their children's notifications to the form, which owns the
// handlers and the colours.
bool ForwardsToForm(UINT message) {
    return message == WM_COMMAND || message == WM_NOTIFY || message == WM_CTLCOLORSTATIC ||
           message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN;
}

// Sent when the window moves to a monitor of another scale (Windows 8.1 on).
constexpr UINT kDpiChanged = 0x02E0;

// The name, role and description that a screen reader is given for a control
// of kAccessibleNames; 0 for any other, which the system describes.
LRESULT AccessibleObjectOf(HWND control, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(control);
    for (const AccessibleName& row : kAccessibleNames)
        if (row.id == id)
            return AnswerAccessibleObject(
                control, wParam, lParam,
                {row.name, row.description, ControlDefOf(row.id).kind == ControlKind::Image ? ROLE_SYSTEM_GRAPHIC : 0});
    return 0;
}

}  // namespace

LRESULT CALLBACK WizardWindow::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WizardWindow* self = WindowOf(window); self && self->window_ == window)
        return self->HandleFormMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT WizardWindow::HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED)
                return 0;
            // The dialog manager turns Esc into IDCANCEL and Enter into IDOK,
            // from no control: Esc is the close box, Enter the forward button.
            if (!lParam && id == IDCANCEL)
                SendMessageW(window_, WM_CLOSE, 0, 0);
            else if (!lParam && id == IDOK)
                PressOnEnter();
            else if (IsOwnControl(id))
                Press(static_cast<ControlId>(id));
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (LRESULT brush = ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_ACTIVATE:
            // Keyboard focus goes back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE)
                focus_ = GetFocus();
            else if (focus_ && IsWindow(focus_))
                SetFocus(focus_);
            return 0;
        case kDpiChanged:
            application_.Guard(window_, [&] { SetDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); });
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // High contrast on or off, other colours: the banner and the text
            // follow.
            RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        case WM_CLOSE:
            application_.Guard(window_, [&] { events_.OnCloseRequest(); });
            return 0;
        case WM_DESTROY:
            application_.Guard(window_, [&] { events_.OnDestroy(); });
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// Only what a user can press counts: a hidden or disabled button reached by a
// synthetic message does nothing.
void WizardWindow::Press(ControlId button) {
    HWND control = Control(button);
    if (IsWindowVisible(control) && IsWindowEnabled(control))
        application_.Guard(window_, [&] { events_.OnClick(button); });
}

// Enter means something to a push button with the focus: it presses itself.
// Anywhere else it presses the page's forward button, whichever of the two
// shows.
void WizardWindow::PressOnEnter() {
    HWND focus = GetFocus();
    const int id = IsChild(window_, focus) ? GetDlgCtrlID(focus) : NoControl;
    if (IsOwnControl(id) && ControlDefOf(static_cast<ControlId>(id)).kind == ControlKind::Button) {
        Press(static_cast<ControlId>(id));
        return;
    }
    // Looked for before the press: the next button's press that ends the
    // installation shows the finish button, which this Enter must not press.
    const ControlId forward = IsWindowVisible(Control(NextStepBtn)) ? NextStepBtn : OverBtn;
    Press(forward);
}

LRESULT CALLBACK WizardWindow::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ForwardsToForm(message))
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    // A page or the bottom bar is never closed on its own: the default
    // procedure would destroy it, and the wizard with it.
    if (message == WM_CLOSE)
        return 0;
    WizardWindow* self = WindowOf(window);
    if (message == WM_ERASEBKGND && self) {
        self->PaintContainer(window, reinterpret_cast<HDC>(wParam));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A paint held back leaves what the bar marked as changed for the next one.
LRESULT CALLBACK WizardWindow::ProgressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardWindow* self = WindowOf(window);
    if (message == WM_PAINT && self->holdBarPaint_)
        return 0;
    if (message == WM_GETOBJECT)
        if (const LRESULT object = AccessibleObjectOf(window, wParam, lParam))
            return object;
    return CallWindowProcW(self->progressBarDefaultProc_, window, message, wParam, lParam);
}

LRESULT CALLBACK WizardWindow::GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ForwardsToForm(message))
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    return CallWindowProcW(WindowOf(window)->groupBoxDefaultProc_, window, message, wParam, lParam);
}

// A multi-line edit would take Tab and Esc its own way, which no page serves:
// the read-only texts keep their scrolling keys and leave Tab, Enter and Esc to
// the window; the folder box keeps its keys and is named by its group.
LRESULT CALLBACK WizardWindow::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT)
        if (const LRESULT object = AccessibleObjectOf(window, wParam, lParam))
            return object;
    const LRESULT result = CallWindowProcW(WindowOf(window)->editDefaultProc_, window, message, wParam, lParam);
    if (message == WM_GETDLGCODE &&
        ControlDefOf(static_cast<ControlId>(GetDlgCtrlID(window))).kind == ControlKind::Memo)
        return result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
    return result;
}

// A picture is drawn by its page, below the labels over it; its window draws
// nothing, lets clicks through, and tells a screen reader what it shows.
LRESULT CALLBACK WizardWindow::ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETOBJECT:
            if (const LRESULT object = AccessibleObjectOf(window, wParam, lParam))
                return object;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
