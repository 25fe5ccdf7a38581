#include "app/InstallMain.h"
#include "system/MessageText.h"
#include "system/Registration.h"
#include "system/UserShell.h"

void TInstallForm::OverBtnClick() {
    UserShell shell;
    if (window_.IsChecked(Run))
        shell.Execute(window_.Handle(), L"open", FormatText(L"%1\\%2", {installDir_, Product::kBrowserFile}).c_str(),
                      L"", L"", SW_SHOW);
    if (window_.IsChecked(VistaHome))
        shell.Execute(window_.Handle(), nullptr, Product::kProductSiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxLeadWeb))
        shell.Execute(window_.Handle(), nullptr, Product::kPartnerStartPageUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxSetIEHome))
        WriteStartPage(shell.DesktopUser());
    OnCloseRequest();
}
