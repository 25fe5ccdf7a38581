#include "app/InstallMain.h"
#include "app/Texts.h"
#include "install/PathRules.h"
#include "system/CriticalErrors.h"

namespace {

// Centres the dialog on the full area of the monitor nearest the wizard.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM wizard) {
    if (message != BFFM_INITIALIZED)
        return 0;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(reinterpret_cast<HWND>(wizard), MONITOR_DEFAULTTONEAREST), &monitor))
        return 0;
    RECT rect;
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const RECT& area = monitor.rcMonitor;
    SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// The folder the user picks, or the empty text when the dialog is cancelled.
std::wstring PickFolder(HWND owner) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = kChooseFolderTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(owner);

    const CriticalErrorsQuiet quiet;
    UniqueCoTaskMemory picked(SHBrowseForFolderW(&info));
    if (!picked)
        return {};
    wchar_t path[MAX_PATH + 1] = {};
    SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(picked.get()), path);
    return path;
}

}  // namespace

void TInstallForm::BrowseBtnClick() {
    const std::wstring dir = InstallDirBelow(PickFolder(window_.Handle()));
    if (!dir.empty())
        SetInstallDirectory(dir);
}
