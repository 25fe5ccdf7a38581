#include "app/InstallMain.h"
#include "install/StartPage.h"
#include "system/UserShell.h"

void TInstallForm::OverBtnClick() {
    // A removal has nothing left to start.
    if (removing_) {
        OnCloseRequest();
        return;
    }
    UserShell shell;
    if (window_.IsChecked(Run) && !browserStarted_)
        shell.Execute(window_.Handle(), L"open", (installDir_ + L"\\" ZARVO_BROWSER_FILE).c_str(), L"", L"", SW_SHOW);
    if (window_.IsChecked(VistaHome))
        shell.Execute(window_.Handle(), nullptr, Product::kProductSiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxLeadWeb))
        shell.Execute(window_.Handle(), nullptr, Product::kPartnerStartPageUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxSetIEHome))
        SetStartPage(shell.DesktopUser(), application_.Log());
    OnCloseRequest();
}
