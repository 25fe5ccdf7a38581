#include "system/Registration.h"

#include "Version.h"
#include "system/Handles.h"
#include "system/MakerInfo.h"
#include "system/MessageText.h"
#include "system/Reg.h"
#include "system/RegistryUndo.h"

#include <windows.h>

namespace {
const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";

// Today's local date as Programs and Features shows it ("installed on") and
// inventories read it: YYYYMMDD, the digits of one number.
std::wstring InstallDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DecimalText(now.wYear * 10000UL + now.wMonth * 100UL + now.wDay);
}
}  // namespace

void WriteRegistrationEntries(const std::wstring& installDir,
                              unsigned long installedKib,
                              const std::wstring& shortcutOptions,
                              RegistryUndo& undo) {
    // What each value holds: a fixed text, the install folder followed by a
    // text (the uninstall command quoted), the date, the shortcut choice, a
    // number, or the installed size.
    enum Kind { kText, kInFolder, kExpandInFolder, kCommand, kDate, kShortcuts, kNumber, kSize };
    struct Value {
        const wchar_t* key;
        const wchar_t* name;
        Kind kind;
        const wchar_t* text;
        DWORD number;
    };
    static const Value kValues[] = {
        {kAppPathsKey, L"", kInFolder, L"\\Zarvo.exe", 0},
        {kAppPathsKey, L"Path", kInFolder, L"", 0},
        {kUninstallKey, L"Comments", kText,
         L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。", 0},
        {kUninstallKey, L"Contact", kText, MakerInfo::kContactEmail, 0},
        {kUninstallKey, L"DisplayIcon", kInFolder, L"\\Zarvo.exe", 0},
        {kUninstallKey, L"DisplayName", kText, L"泽沃浏览器", 0},
        {kUninstallKey, L"Readme", kExpandInFolder, L"\\Lisense.txt", 0},
        // Quoted: unquoted, a directory with spaces lets Windows try
        // "C:\Program.exe" first when the uninstaller is run, with
        // administrator rights.
        {kUninstallKey, L"UninstallString", kCommand, L"\\ZarvService.exe\" Uninstall", 0},
        {kUninstallKey, L"Publisher", kText, L"洛菲工作室", 0},
        {kUninstallKey, L"URLInfoAbout", kText, MakerInfo::kProductSiteUrl, 0},
        {kUninstallKey, L"HelpLink", kText, MakerInfo::kForumUrl, 0},
        {kUninstallKey, L"URLUpdateInfo", kText, MakerInfo::kMakerSiteUrl, 0},
        // What Programs and Features, software-inventory tools and the
        // detection rules of deployment tools read besides: the version (also
        // as numbers), the date, the folder, the size, and that the entry
        // offers removal only.
        {kUninstallKey, L"DisplayVersion", kText, ZARVO_VERSION_TEXT, 0},
        {kUninstallKey, L"VersionMajor", kNumber, nullptr, ZARVO_VERSION_MAJOR},
        {kUninstallKey, L"VersionMinor", kNumber, nullptr, ZARVO_VERSION_MINOR},
        {kUninstallKey, L"InstallDate", kDate, nullptr, 0},
        {kUninstallKey, L"InstallLocation", kInFolder, L"", 0},
        {kUninstallKey, L"EstimatedSize", kSize, nullptr, 0},
        {kUninstallKey, L"NoModify", kNumber, nullptr, 1},
        {kUninstallKey, L"NoRepair", kNumber, nullptr, 1},
        {kUninstallKey, kShortcutOptionsValue, kShortcuts, nullptr, 0},
    };
    for (const Value& value : kValues) {
        // Each value as it was is noted first, so that a failed installation
        // can put it back.
        undo.Save(HKEY_LOCAL_MACHINE, value.key, value.name);
        if (value.kind == kNumber || value.kind == kSize) {
            RegWriteDword(HKEY_LOCAL_MACHINE, value.key, true, value.name,
                          value.kind == kSize ? installedKib : value.number);
            continue;
        }
        const std::wstring text = value.kind == kText        ? value.text
                                  : value.kind == kDate      ? InstallDate()
                                  : value.kind == kShortcuts ? shortcutOptions
                                  : value.kind == kCommand   ? L"\"" + installDir + value.text
                                                             : installDir + value.text;
        (value.kind == kExpandInFolder ? RegWriteExpandString : RegWriteString)(HKEY_LOCAL_MACHINE, value.key, true,
                                                                                value.name, text.c_str());
    }
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
    // The user may have made a key on the way a link, into the machine's hive
    // for one (Windows 2000 and XP follow such links): each key is opened as
    // itself, made where it is missing, and a link stops the write.
    UniqueHKey key;
    for (const wchar_t* name : {L"Software", L"Microsoft", L"Internet Explorer", L"Main"}) {
        HKEY opened = nullptr;
        DWORD type = REG_NONE;
        if (RegCreateKeyExW(key ? key.get() : hive, name, 0, nullptr, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, nullptr,
                            &opened, nullptr) != ERROR_SUCCESS)
            return;
        key.reset(opened);
        if (RegQueryValueExW(opened, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
            type == REG_LINK)
            return;
    }
    RegWriteString(key.get(), L"", false, L"Start Page", MakerInfo::kPartnerStartPageUrl);
}
