#include "system/UserShell.h"

#include "system/Elevation.h"
#include "system/Handles.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

// The scripting object of the desktop's folder view, which lives in the
// desktop shell's own process, and the desktop's window where the shell
// names it (from Vista on, and Wine).
ComPtr<IShellDispatch2> DesktopShell(HWND& desktopWindow) {
    ComPtr<IShellDispatch2> result;
    ComPtr<IShellWindows> windows;
    if (FAILED(
            CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.put_void())))
        return result;
    VARIANT none{};  // VT_EMPTY
    long window = 0;
    // The desktop, the view's background and the shell application all come
    // as scripting objects, each asked for what leads to the next.
    ComPtr<IDispatch> object;
    ComPtr<IServiceProvider> provider;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IShellFolderViewDual> folderView;
    // FindWindowSW answers S_FALSE when there is no desktop window.
    if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, object.put()) != S_OK)
        return result;
    desktopWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    if (!object || FAILED(object.As(IID_IServiceProvider, provider)) ||
        FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) ||
        FAILED(browser->QueryActiveShellView(view.put())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, object.put_void())) ||
        FAILED(object.As(IID_IShellFolderViewDual, folderView)) || FAILED(folderView->get_Application(object.put())))
        return result;
    object.As(IID_IShellDispatch2, result);
    return result;
}

// A text argument of the scripting object; an absent text is left empty.
class TextArgument {
  public:
    explicit TextArgument(const wchar_t* text) : text_(text ? SysAllocString(text) : nullptr) {
        if (text_) {
            value_.vt = VT_BSTR;
            value_.bstrVal = text_.get();
        }
    }
    const VARIANT& Value() const { return value_; }

  private:
    UniqueBstr text_;
    VARIANT value_{};  // VT_EMPTY when there is no text
};

}  // namespace

UserShell::UserShell() : own_(ProcessTokenFacts(GetCurrentProcess())) {}

const StartPlan& UserShell::Plan() {
    if (!plan_) {
        HWND window = nullptr;
        desktop_ = DesktopShell(window);
        // Windows 2000 and XP list no desktop among the shell windows; Wine
        // names no shell window but lists its desktop.
        if (!window)
            window = GetShellWindow();
        plan_ = PlanStarts(own_, WindowOwnerFacts(window));
    }
    return *plan_;
}

std::wstring UserShell::DesktopUser() {
    return Plan().desktopUser;
}

bool UserShell::Execute(HWND owner,
                        const wchar_t* verb,
                        const wchar_t* file,
                        const wchar_t* parameters,
                        const wchar_t* directory,
                        int show) {
    // Long enough for a desktop shell that has just ended to be started again.
    constexpr DWORD kRestartWait = 2000;
    for (int attempt = 0; attempt < 2 && !unavailable_; ++attempt) {
        if (attempt > 0)
            Sleep(kRestartWait);
        const StartRoute route = Plan().route;
        if (route == StartRoute::Direct) {
            ShellExecuteW(owner, verb, file, parameters, directory, show);
            return true;
        }
        if (route == StartRoute::DesktopShell && ExecuteThroughDesktop(verb, file, parameters, directory, show))
            return true;
        // Looked for afresh: a shell that has started again may be another.
        plan_.reset();
        desktop_.reset();
    }
    unavailable_ = true;
    return false;
}

bool UserShell::ExecuteThroughDesktop(const wchar_t* verb,
                                      const wchar_t* file,
                                      const wchar_t* parameters,
                                      const wchar_t* directory,
                                      int show) {
    const UniqueBstr path(SysAllocString(file));
    VARIANT showCommand{};
    showCommand.vt = VT_I4;
    showCommand.lVal = show;
    return desktop_ && path &&
           SUCCEEDED(desktop_->ShellExecute(path.get(), TextArgument(parameters).Value(),
                                            TextArgument(directory).Value(), TextArgument(verb).Value(), showCommand));
}
