#include "app/InstallMain.h"
#include "system/MakerInfo.h"
#include "system/Registration.h"

#include <shellapi.h>

void TInstallForm::OverBtnClick() {
    if (window_.IsChecked(Run))
        ShellExecuteW(window_.Handle(), L"open", (InstallDirectory() + L"\\Zarvo.exe").c_str(), L"", L"", SW_SHOW);
    if (window_.IsChecked(VistaHome))
        ShellExecuteW(window_.Handle(), nullptr, MakerInfo::kProductSiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxLeadWeb))
        ShellExecuteW(window_.Handle(), nullptr, MakerInfo::kPartnerStartPageUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (window_.IsChecked(CheckBoxSetIEHome))
        WriteStartPage();
    OnCloseRequest();
}
