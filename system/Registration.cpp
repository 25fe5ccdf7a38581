#include "system/Registration.h"

#include "Version.h"
#include "system/Handles.h"
#include "system/MakerInfo.h"
#include "system/Reg.h"
#include "system/RegistryUndo.h"

#include <windows.h>

namespace {
const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";
}  // namespace

void WriteRegistrationEntries(const std::wstring& installDir, unsigned long installedKib, RegistryUndo& undo) {
    // Each value as it was is noted first, so that a failed installation can
    // put it back.
    const auto appPath = [&](const wchar_t* name, const std::wstring& value) {
        undo.Save(HKEY_LOCAL_MACHINE, kAppPathsKey, name);
        RegWriteString(HKEY_LOCAL_MACHINE, kAppPathsKey, true, name, value);
    };
    const auto uninstall = [&](const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
        undo.Save(HKEY_LOCAL_MACHINE, kUninstallKey, name);
        if (type == REG_EXPAND_SZ)
            RegWriteExpandString(HKEY_LOCAL_MACHINE, kUninstallKey, true, name, value);
        else
            RegWriteString(HKEY_LOCAL_MACHINE, kUninstallKey, true, name, value);
    };
    const auto number = [&](const wchar_t* name, DWORD value) {
        undo.Save(HKEY_LOCAL_MACHINE, kUninstallKey, name);
        RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, true, name, value);
    };
    appPath(L"", installDir + L"\\Zarvo.exe");
    appPath(L"Path", installDir);
    uninstall(L"Comments", L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。");
    uninstall(L"Contact", MakerInfo::kContactEmail);
    uninstall(L"DisplayIcon", installDir + L"\\Zarvo.exe");
    uninstall(L"DisplayName", L"泽沃浏览器");
    uninstall(L"Readme", installDir + L"\\Lisense.txt", REG_EXPAND_SZ);
    // Quoted: unquoted, a directory with spaces lets Windows try "C:\Program.exe"
    // first when the uninstaller is run, with administrator rights.
    uninstall(L"UninstallString", L"\"" + installDir + L"\\ZarvService.exe\" Uninstall");
    uninstall(L"Publisher", L"洛菲工作室");
    uninstall(L"URLInfoAbout", MakerInfo::kProductSiteUrl);
    uninstall(L"HelpLink", MakerInfo::kForumUrl);
    uninstall(L"URLUpdateInfo", MakerInfo::kMakerSiteUrl);
    // What Programs and Features and software-inventory tools read besides:
    // the version, the folder, the size, and that the entry offers removal only.
    uninstall(L"DisplayVersion", ZARVO_VERSION_TEXT);
    uninstall(L"InstallLocation", installDir);
    number(L"EstimatedSize", installedKib);
    number(L"NoModify", 1);
    number(L"NoRepair", 1);
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
