#include "system/Registration.h"

#include "Version.h"
#include "system/Handles.h"
#include "system/MakerInfo.h"
#include "system/Reg.h"

#include <windows.h>

namespace {
const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";

void Uninstall(const wchar_t* name, const std::wstring& value) {
    RegWriteString(HKEY_LOCAL_MACHINE, kUninstallKey, true, name, value);
}
}  // namespace

void WriteRegistrationEntries(const std::wstring& installDir, unsigned long installedKib) {
    RegWriteString(HKEY_LOCAL_MACHINE, kAppPathsKey, true, L"", installDir + L"\\Zarvo.exe");
    RegWriteString(HKEY_LOCAL_MACHINE, kAppPathsKey, true, L"Path", installDir);
    Uninstall(L"Comments", L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。");
    Uninstall(L"Contact", MakerInfo::kContactEmail);
    Uninstall(L"DisplayIcon", installDir + L"\\Zarvo.exe");
    Uninstall(L"DisplayName", L"泽沃浏览器");
    RegWriteExpandString(HKEY_LOCAL_MACHINE, kUninstallKey, true, L"Readme", installDir + L"\\Lisense.txt");
    // Quoted: unquoted, a directory with spaces lets Windows try "C:\Program.exe"
    // first when the uninstaller is run, with administrator rights.
    Uninstall(L"UninstallString", L"\"" + installDir + L"\\ZarvService.exe\" Uninstall");
    Uninstall(L"Publisher", L"洛菲工作室");
    Uninstall(L"URLInfoAbout", MakerInfo::kProductSiteUrl);
    Uninstall(L"HelpLink", MakerInfo::kForumUrl);
    Uninstall(L"URLUpdateInfo", MakerInfo::kMakerSiteUrl);
    // What Programs and Features and software-inventory tools read besides:
    // the version, the folder, the size, and that the entry offers removal only.
    Uninstall(L"DisplayVersion", ZARVO_VERSION_TEXT);
    Uninstall(L"InstallLocation", installDir);
    RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, true, L"EstimatedSize", installedKib);
    RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, true, L"NoModify", 1);
    RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, true, L"NoRepair", 1);
}

void WriteStartPage(const std::wstring& user) {
    HKEY hive = HKEY_CURRENT_USER;
    UniqueHKey userHive;
    if (!user.empty()) {
        // A signed-in user's hive is loaded under the SID; none is made here.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_USERS, user.c_str(), 0, KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
            return;
        userHive.reset(key);
        hive = key;
    }
    RegWriteString(hive, L"Software\\Microsoft\\Internet Explorer\\Main", true, L"Start Page",
                   MakerInfo::kPartnerStartPageUrl);
}
