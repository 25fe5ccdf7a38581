#pragma once

#include "Version.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

// What the product is, stated once: everything else derives from these tables.
namespace Product {

// The product's name as the system shows it: the Uninstall entry's display
// name, the Start-menu group and the browser's shortcuts.
inline constexpr wchar_t kName[] = L"泽沃浏览器";

// The browser's program file, and the short name that the default folder and
// the Uninstall key take: literals, which the tables below join into paths.
#define ZARVO_BROWSER_FILE L"Zarvo.exe"
#define ZARVO_SHORT_NAME L"Zarvo"
// The installer kept for later commands (the entry's quiet removal), in a
// folder of its own below the 32-bit Program Files, where the package for the
// Windows Installer keeps it too: one copy for both.
#define ZARVO_KEPT_FOLDER L"Zarvo Setup"
#define ZARVO_KEPT_FILE L"ZarvoSetup.exe"
// Beside it, the log of the last command that Windows ran for the browser.
#define ZARVO_COMMAND_LOG L"ZarvoSetup.log"

// A file of the product, in installation order: its payload name (the name of
// the resource that carries it), the folder below the install folder that it
// goes to ("" for the install folder itself), and its name there.
struct File {
    const wchar_t* payload;
    const wchar_t* folder;
    const wchar_t* name;
};
inline constexpr File kFiles[] = {
    {L"whatsnewtxt", L"", L"whatsnew.txt"},       {L"ZarvConfigini", L"\\Data", L"ZarvConfig.ini"},
    {L"Zarvoexe", L"", ZARVO_BROWSER_FILE},       {L"ZarvServiceexe", L"", L"ZarvService.exe"},
    {L"BugReportexe", L"", L"BugReport.exe"},     {L"Lisensetxt", L"", L"Lisense.txt"},
    {L"ZarvLibrarydll", L"", L"ZarvLibrary.dll"}, {L"ZarvResourcesdll", L"", L"ZarvResources.dll"},
    {L"ZarvZipdll", L"", L"ZarvZip.dll"},         {L"ZarvUpdateexe", L"", L"ZarvUpdate.exe"},
    {L"Uninstallexe", L"", L"Uninstall.exe"},     {L"defaultzsk", L"\\Skin", L"default.zsk"},
    {L"x0804ini", L"\\Lang", L"0x0804.ini"},      {L"x0404ini", L"\\Lang", L"0x0404.ini"},
    {L"x0409ini", L"\\Lang", L"0x0409.ini"},
};
inline constexpr std::size_t kFileCount = std::size(kFiles);

// The folders of the tree below the install folder, made in this order; a
// folder's parents come first or already exist ("\Temp" is made for
// "\Temp\Skin").
inline constexpr const wchar_t* kFolders[] = {
    L"\\Data", L"\\Lang", L"\\Plugins", L"\\Skin", L"\\Temp\\Skin", L"\\Temp\\Update",
};

// The product's programs that hold its files open while they run, ended in
// this order before the files are replaced.
inline constexpr const wchar_t* kPrograms[] = {ZARVO_BROWSER_FILE, L"ZarvService.exe", L"ZarvUpdate.exe"};

// Where a shortcut goes: the all-users desktop, or the product's group in the
// all-users Start menu.
enum class LinkPlace : std::uint8_t { Desktop, StartMenu };

// Which places get the product's shortcuts, from the command line to the
// installation: unset where nobody has chosen, and then they do.
struct ShortcutChoice {
    std::optional<bool> desktop;
    std::optional<bool> startMenu;

    bool Makes(LinkPlace place) const { return (place == LinkPlace::Desktop ? desktop : startMenu).value_or(true); }
};

// A shortcut: its place, its file name there, the product file it opens (the
// install folder is its working directory) and its description.
struct Shortcut {
    LinkPlace place;
    const wchar_t* name;
    const wchar_t* target;
    const wchar_t* description;
};
inline constexpr wchar_t kBrowserDescription[] =
    L"泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，"
    L"绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。";
inline constexpr Shortcut kShortcuts[] = {
    {LinkPlace::Desktop, L"泽沃浏览器.lnk", ZARVO_BROWSER_FILE, kBrowserDescription},
    {LinkPlace::StartMenu, L"泽沃浏览器.lnk", ZARVO_BROWSER_FILE, kBrowserDescription},
    {LinkPlace::StartMenu, L"在线升级.lnk", L"ZarvUpdate.exe", L"在线升级，快速将软件升级到最新版本。"},
    {LinkPlace::StartMenu, L"更新记录.lnk", L"whatsnew.txt", L"记录泽沃浏览器的更新历史。"},
    {LinkPlace::StartMenu, L"卸载泽沃浏览器.lnk", L"Uninstall.exe", L"卸载程序"},
};
inline constexpr std::size_t kShortcutCount = std::size(kShortcuts);

// The maker's fixed addresses.
inline constexpr wchar_t kContactEmail[] = L"zarvo@luofei.example";
inline constexpr wchar_t kProductSiteUrl[] = L"http://www.zarvo.example/";
inline constexpr wchar_t kForumUrl[] = L"http://bbs.luofei.example/";
inline constexpr wchar_t kMakerSiteUrl[] = L"http://www.luofei.example/";
inline constexpr wchar_t kPartnerStartPageUrl[] = L"http://nav.example.com/?id=2669";

// The browser's entries in the machine's registry (the 32-bit view, where a
// 32-bit installer's keys lie).
inline constexpr wchar_t kAppPathsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" ZARVO_BROWSER_FILE;
inline constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" ZARVO_SHORT_NAME;
// The browser's registration, by which Windows lists it among the browsers
// and offers it for links and pages: its client key with the capabilities
// that Default Programs reads, named in the registered applications, and a
// class each for pages and for links. Windows' shell reads these in its own
// view, the 64-bit one on 64-bit Windows (system/Reg.cpp).
#define ZARVO_CLIENT_KEY L"SOFTWARE\\Clients\\StartMenuInternet\\" ZARVO_SHORT_NAME
#define ZARVO_CAPABILITIES_KEY ZARVO_CLIENT_KEY L"\\Capabilities"
#define ZARVO_PAGE_CLASS L"ZarvoHTML"
#define ZARVO_LINK_CLASS L"ZarvoURL"
#define ZARVO_CLASS_KEY(name) L"SOFTWARE\\Classes\\" name
inline constexpr wchar_t kClientKey[] = ZARVO_CLIENT_KEY;
inline constexpr wchar_t kClientIconKey[] = ZARVO_CLIENT_KEY L"\\DefaultIcon";
inline constexpr wchar_t kClientCommandKey[] = ZARVO_CLIENT_KEY L"\\shell\\open\\command";
inline constexpr wchar_t kCapabilitiesKey[] = ZARVO_CAPABILITIES_KEY;
inline constexpr wchar_t kUrlAssociationsKey[] = ZARVO_CAPABILITIES_KEY L"\\URLAssociations";
inline constexpr wchar_t kFileAssociationsKey[] = ZARVO_CAPABILITIES_KEY L"\\FileAssociations";
inline constexpr wchar_t kStartMenuKey[] = ZARVO_CAPABILITIES_KEY L"\\StartMenu";
// Every browser's, not ours: only our value in it ever goes, never the key.
inline constexpr wchar_t kRegisteredAppsKey[] = L"SOFTWARE\\RegisteredApplications";
inline constexpr wchar_t kPageClassKey[] = ZARVO_CLASS_KEY(ZARVO_PAGE_CLASS);
inline constexpr wchar_t kPageIconKey[] = ZARVO_CLASS_KEY(ZARVO_PAGE_CLASS) L"\\DefaultIcon";
inline constexpr wchar_t kPageCommandKey[] = ZARVO_CLASS_KEY(ZARVO_PAGE_CLASS) L"\\shell\\open\\command";
inline constexpr wchar_t kLinkClassKey[] = ZARVO_CLASS_KEY(ZARVO_LINK_CLASS);
inline constexpr wchar_t kLinkIconKey[] = ZARVO_CLASS_KEY(ZARVO_LINK_CLASS) L"\\DefaultIcon";
inline constexpr wchar_t kLinkCommandKey[] = ZARVO_CLASS_KEY(ZARVO_LINK_CLASS) L"\\shell\\open\\command";
// The commands that Windows runs for a browser ("Set Program Access and
// Defaults"), each the kept installer with a switch of its own, and the
// record of its icons.
inline constexpr wchar_t kInstallInfoKey[] = ZARVO_CLIENT_KEY L"\\InstallInfo";
#define ZARVO_KEPT_COMMAND(options) L"\\" ZARVO_KEPT_FOLDER L"\\" ZARVO_KEPT_FILE L"\" " options
// What the system's defaults held before the product took them.
inline constexpr wchar_t kReplacedKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" ZARVO_SHORT_NAME L"\\Replaced Defaults";
// The machine's defaults for pages and links, the classes' and the clients'.
#define ZARVO_OPEN_KEY(scheme) ZARVO_CLASS_KEY(scheme) L"\\shell\\open\\command"
inline constexpr wchar_t kHtmKey[] = ZARVO_CLASS_KEY(L".htm");
inline constexpr wchar_t kHtmlKey[] = ZARVO_CLASS_KEY(L".html");
inline constexpr wchar_t kShtmlKey[] = ZARVO_CLASS_KEY(L".shtml");
inline constexpr wchar_t kXhtKey[] = ZARVO_CLASS_KEY(L".xht");
inline constexpr wchar_t kXhtmlKey[] = ZARVO_CLASS_KEY(L".xhtml");
inline constexpr wchar_t kHttpKey[] = ZARVO_OPEN_KEY(L"http");
inline constexpr wchar_t kHttpsKey[] = ZARVO_OPEN_KEY(L"https");
inline constexpr wchar_t kFtpKey[] = ZARVO_OPEN_KEY(L"ftp");
inline constexpr wchar_t kClientsKey[] = L"SOFTWARE\\Clients\\StartMenuInternet";
// A default, the product's once the reinstall command has run, and its record.
#define ZARVO_DEFAULT(key, text, data)                \
    {key, L"", text, Data::data, 0}, {                \
        kReplacedKey, key, nullptr, Data::Replaced, 0 \
    }
inline constexpr wchar_t kPageTypeName[] = L"泽沃浏览器 网页文档";
inline constexpr wchar_t kLinkTypeName[] = L"泽沃浏览器 链接";
// The program's icon, and the browser started on what it is given.
#define ZARVO_ICON L"\\" ZARVO_BROWSER_FILE L",0"
#define ZARVO_OPEN L"\\" ZARVO_BROWSER_FILE L"\" \"%1\""

// Internet Explorer's start page, in the desktop user's hive.
inline constexpr wchar_t kStartPageKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr wchar_t kStartPageValue[] = L"Start Page";

// A value of our own in the Uninstall entry: which shortcuts the installation
// made, in the command line's spelling, for the next one to keep.
inline constexpr wchar_t kShortcutOptionsValue[] = L"ShortcutOptions";
// A value of our own in the Uninstall entry: the outermost of the folders
// above the install folder that an installation made, which its removal
// removes again where they are empty; none where it made none.
inline constexpr wchar_t kMadeAboveValue[] = L"FolderMadeAbove";
// The entry's values that name the installed copy's folder, which an upgrade
// reads back.
inline constexpr wchar_t kDisplayIconValue[] = L"DisplayIcon";
inline constexpr wchar_t kInstallLocationValue[] = L"InstallLocation";
// The removal's command, which a removal deletes among its first values: an
// entry without it that still locates a folder is a removal cut off at its end.
inline constexpr wchar_t kUninstallStringValue[] = L"UninstallString";
// The release that the entry records, which a downgrade is judged by.
inline constexpr wchar_t kDisplayVersionValue[] = L"DisplayVersion";

// What a registry value holds: a fixed text; the install folder followed by
// the text (also as an expandable string); the uninstall command, the install
// folder in quotes followed by the text; the kept installer's command, the
// 32-bit Program Files in quotes followed by the text; today's local date
// (YYYYMMDD); the shortcut choice; a fixed number; the installed size in KiB;
// a folder above the install folder that the installation made (absent for
// none); whether the shortcuts are shown (1) or not (0).
// The last three are no installation's: the system's default for links or
// pages, made the product's by the reinstall command that Windows runs for a
// browser (a fixed text, or a command as above), and what that default held
// before, which the removal gives back to it (the row after the default's,
// named by its key; absent where it held nothing).
enum class Data : std::uint8_t {
    Text,
    InFolder,
    ExpandInFolder,
    Command,
    Kept,
    Date,
    Choice,
    Number,
    Size,
    Above,
    Icons,
    Default,
    DefaultCommand,
    Replaced,
};
// The registry type that such a value is stored as: REG_SZ (1), REG_EXPAND_SZ
// (2) or REG_DWORD (4); a replaced default's is the one it had.
constexpr std::uint32_t RegistryType(Data data) {
    return data == Data::ExpandInFolder ? 2 : data == Data::Number || data == Data::Size || data == Data::Icons ? 4 : 1;
}
// Whether the value is one of the system's defaults, and whether the
// reinstall command writes it (a default, or its record).
constexpr bool IsDefault(Data data) {
    return data == Data::Default || data == Data::DefaultCommand;
}
constexpr bool SetsDefault(Data data) {
    return IsDefault(data) || data == Data::Replaced;
}
struct Value {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* text;
    Data data;
    // Beside the kind, where it takes no room of its own: a version's part
    // is at most 65535.
    std::uint16_t number;
};
// Written in this order, after the shortcuts.
inline constexpr Value kValues[] = {
    {kAppPathsKey, L"", L"\\" ZARVO_BROWSER_FILE, Data::InFolder, 0},
    {kAppPathsKey, L"Path", L"", Data::InFolder, 0},
    {kUninstallKey, L"Comments", L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。",
     Data::Text, 0},
    {kUninstallKey, L"Contact", kContactEmail, Data::Text, 0},
    {kUninstallKey, kDisplayIconValue, L"\\" ZARVO_BROWSER_FILE, Data::InFolder, 0},
    {kUninstallKey, L"DisplayName", kName, Data::Text, 0},
    {kUninstallKey, L"Readme", L"\\Lisense.txt", Data::ExpandInFolder, 0},
    // Quoted: unquoted, a directory with spaces lets Windows try
    // "C:\Program.exe" first when the uninstaller is run, with administrator
    // rights.
    {kUninstallKey, kUninstallStringValue, L"\\ZarvService.exe\" Uninstall", Data::Command, 0},
    // What deployment tools run for a removal without a window.
    {kUninstallKey, L"QuietUninstallString", ZARVO_KEPT_COMMAND(L"/uninstall /quiet"), Data::Kept, 0},
    {kUninstallKey, L"Publisher", L"洛菲工作室", Data::Text, 0},
    {kUninstallKey, L"URLInfoAbout", kProductSiteUrl, Data::Text, 0},
    {kUninstallKey, L"HelpLink", kForumUrl, Data::Text, 0},
    {kUninstallKey, L"URLUpdateInfo", kMakerSiteUrl, Data::Text, 0},
    // What Programs and Features, software-inventory tools and the detection
    // rules of deployment tools read besides: the version (also as numbers),
    // the date, the folder, the size, and that the entry offers removal only.
    {kUninstallKey, kDisplayVersionValue, ZARVO_VERSION_TEXT, Data::Text, 0},
    {kUninstallKey, L"VersionMajor", nullptr, Data::Number, ZARVO_VERSION_MAJOR},
    {kUninstallKey, L"VersionMinor", nullptr, Data::Number, ZARVO_VERSION_MINOR},
    {kUninstallKey, L"InstallDate", nullptr, Data::Date, 0},
    {kUninstallKey, kInstallLocationValue, L"", Data::InFolder, 0},
    {kUninstallKey, L"EstimatedSize", nullptr, Data::Size, 0},
    {kUninstallKey, L"NoModify", nullptr, Data::Number, 1},
    {kUninstallKey, L"NoRepair", nullptr, Data::Number, 1},
    {kUninstallKey, kShortcutOptionsValue, nullptr, Data::Choice, 0},
    {kUninstallKey, kMadeAboveValue, nullptr, Data::Above, 0},
    // The browser's registration: each key after the key of the product's
    // that holds it, so that an undo reaches the inner one first.
    {kClientKey, L"", kName, Data::Text, 0},
    {kClientIconKey, L"", ZARVO_ICON, Data::InFolder, 0},
    {kClientCommandKey, L"", L"\\" ZARVO_BROWSER_FILE L"\"", Data::Command, 0},
    {kInstallInfoKey, L"ReinstallCommand", ZARVO_KEPT_COMMAND(L"/Reinstall"), Data::Kept, 0},
    {kInstallInfoKey, L"HideIconsCommand", ZARVO_KEPT_COMMAND(L"/HideIcons"), Data::Kept, 0},
    {kInstallInfoKey, L"ShowIconsCommand", ZARVO_KEPT_COMMAND(L"/ShowIcons"), Data::Kept, 0},
    {kInstallInfoKey, L"IconsVisible", nullptr, Data::Icons, 0},
    {kCapabilitiesKey, L"ApplicationName", kName, Data::Text, 0},
    {kCapabilitiesKey, L"ApplicationDescription", L"泽沃浏览器：多窗口，快速，稳定，安全的大众浏览器。", Data::Text, 0},
    {kCapabilitiesKey, L"ApplicationIcon", ZARVO_ICON, Data::InFolder, 0},
    {kUrlAssociationsKey, L"http", ZARVO_LINK_CLASS, Data::Text, 0},
    {kUrlAssociationsKey, L"https", ZARVO_LINK_CLASS, Data::Text, 0},
    {kUrlAssociationsKey, L"ftp", ZARVO_LINK_CLASS, Data::Text, 0},
    {kFileAssociationsKey, L".htm", ZARVO_PAGE_CLASS, Data::Text, 0},
    {kFileAssociationsKey, L".html", ZARVO_PAGE_CLASS, Data::Text, 0},
    {kFileAssociationsKey, L".shtml", ZARVO_PAGE_CLASS, Data::Text, 0},
    {kFileAssociationsKey, L".xht", ZARVO_PAGE_CLASS, Data::Text, 0},
    {kFileAssociationsKey, L".xhtml", ZARVO_PAGE_CLASS, Data::Text, 0},
    {kStartMenuKey, L"StartMenuInternet", ZARVO_SHORT_NAME, Data::Text, 0},
    {kPageClassKey, L"", kPageTypeName, Data::Text, 0},
    {kPageClassKey, L"FriendlyTypeName", kPageTypeName, Data::Text, 0},
    {kPageIconKey, L"", ZARVO_ICON, Data::InFolder, 0},
    {kPageCommandKey, L"", ZARVO_OPEN, Data::Command, 0},
    {kLinkClassKey, L"", kLinkTypeName, Data::Text, 0},
    {kLinkClassKey, L"FriendlyTypeName", kLinkTypeName, Data::Text, 0},
    {kLinkClassKey, L"URL Protocol", L"", Data::Text, 0},
    {kLinkIconKey, L"", ZARVO_ICON, Data::InFolder, 0},
    {kLinkCommandKey, L"", ZARVO_OPEN, Data::Command, 0},
    // Last: Windows lists the browser once all that it names is there.
    {kRegisteredAppsKey, kName, kCapabilitiesKey, Data::Text, 0},
    // The system's defaults, the classes' and the clients' (which "Set
    // Program Access and Defaults" reads on every Windows that has it), each
    // in the shell's view; a user's own choice still comes before them.
    ZARVO_DEFAULT(kHtmKey, ZARVO_PAGE_CLASS, Default),
    ZARVO_DEFAULT(kHtmlKey, ZARVO_PAGE_CLASS, Default),
    ZARVO_DEFAULT(kShtmlKey, ZARVO_PAGE_CLASS, Default),
    ZARVO_DEFAULT(kXhtKey, ZARVO_PAGE_CLASS, Default),
    ZARVO_DEFAULT(kXhtmlKey, ZARVO_PAGE_CLASS, Default),
    ZARVO_DEFAULT(kHttpKey, ZARVO_OPEN, DefaultCommand),
    ZARVO_DEFAULT(kHttpsKey, ZARVO_OPEN, DefaultCommand),
    ZARVO_DEFAULT(kFtpKey, ZARVO_OPEN, DefaultCommand),
    ZARVO_DEFAULT(kClientsKey, ZARVO_SHORT_NAME, Default),
};
inline constexpr std::size_t kValueCount = std::size(kValues);
// The row of the links' own command, which the system's link defaults
// copy.
inline constexpr std::size_t kLinkCommandRow = [] {
    std::size_t row = 0;
    while (kValues[row].key != kLinkCommandKey)
        ++row;
    return row;
}();
// The installation's own values come first; the system's defaults and their
// records, which only the reinstall command and the removal touch, last.
inline constexpr std::size_t kOwnValueCount = [] {
    std::size_t count = 0;
    while (!SetsDefault(kValues[count].data))
        ++count;
    return count;
}();
static_assert(
    [] {
        for (std::size_t i = kOwnValueCount; i < kValueCount; ++i)
            if (!SetsDefault(kValues[i].data))
                return false;
        return true;
    }(),
    "the defaults last");

// Whether the value tells where the installed copy is, or the folders made
// for it: a removal deletes those last, so that the next run finds one that
// was cut off, and what it is to remove.
constexpr bool LocatesProduct(const Value& value) {
    return value.name == kInstallLocationValue || value.name == kDisplayIconValue || value.name == kMadeAboveValue;
}

namespace Detail {
// The number of values whose key no earlier value has.
constexpr std::size_t KeyCount() {
    std::size_t count = 0;
    for (std::size_t i = 0; i < kValueCount; ++i) {
        bool first = true;
        for (std::size_t j = 0; j < i; ++j)
            first = first && kValues[j].key != kValues[i].key;
        count += first;
    }
    return count;
}
template <std::size_t N>
constexpr std::array<const wchar_t*, N> Keys() {
    std::array<const wchar_t*, N> keys{};
    std::size_t count = 0;
    for (const Value& value : kValues) {
        bool first = true;
        for (std::size_t j = 0; j < count; ++j)
            first = first && keys[j] != value.key;
        if (first)
            keys[count++] = value.key;
    }
    return keys;
}

template <std::size_t... I>
constexpr std::array<const wchar_t*, sizeof...(I)> PayloadNames(std::index_sequence<I...>) {
    return {kFiles[I].payload...};
}
}  // namespace Detail

// The keys that the values go to, each once, in the order of first use.
inline constexpr std::array<const wchar_t*, Detail::KeyCount()> kKeys = Detail::Keys<Detail::KeyCount()>();
// How many of them the installation's own values use: those come first.
inline constexpr std::size_t kOwnKeyCount = [] {
    std::size_t count = 0;
    while (kKeys[count] != kValues[kOwnValueCount].key)
        ++count;
    return count;
}();

// Whether the key is the product's, to go once it is empty; the registered
// applications' key is every browser's, and a default's is the system's.
constexpr bool OwnsKey(std::wstring_view key) {
    for (const Value& value : kValues)
        if (value.key == key && IsDefault(value.data))
            return false;
    return key != kRegisteredAppsKey;
}

// Whether Windows' shell reads the key, in its own view: the registration's
// keys do; the App Paths and the Uninstall entry stay in the installer's.
constexpr bool InShellView(std::wstring_view key) {
    for (std::wstring_view shell :
         {L"SOFTWARE\\Clients\\", L"SOFTWARE\\Classes\\", L"SOFTWARE\\RegisteredApplications"})
        if (key.substr(0, shell.size()) == shell)
            return true;
    return false;
}

// The key of the product's that holds `key`, the nearest of the keys above
// it ("...\\Zarvo" for "...\\Zarvo\\shell\\open\\command"); empty where none does.
// The keys between the two are the product's too, and go when left empty.
constexpr std::wstring_view KeyHolding(std::wstring_view key) {
    std::wstring_view holding;
    for (std::wstring_view above : kKeys)
        if (OwnsKey(above) && above.size() > holding.size() && above.size() < key.size() &&
            key[above.size()] == L'\\' && key.substr(0, above.size()) == above)
            holding = above;
    return holding;
}

// The payload names in installation order.
inline constexpr std::array<const wchar_t*, kFileCount> kPayloadNames =
    Detail::PayloadNames(std::make_index_sequence<kFileCount>());

}  // namespace Product
