#include "tests/win/InstalledProduct.h"

#include "payload/Catalogue.h"
#include "system/Product.h"
#include "system/RunNames.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

std::wstring DesktopLink() {
    return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\泽沃浏览器.lnk";
}

std::wstring ProgramGroup() {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\泽沃浏览器";
}

std::wstring KeptFolder() {
    return SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Zarvo Setup";
}

std::wstring KeptInstaller() {
    return KeptFolder() + L"\\ZarvoSetup.exe";
}

std::wstring LocalDate(int minutes) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME time{};
    SystemTimeToFileTime(&now, &time);
    ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
    ticks.QuadPart += static_cast<long long>(minutes) * 60 * 10000000;
    time = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&time, &now);
    wchar_t text[9];
    swprintf(text, 9, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

std::wstring PlainSource(const std::wstring& payload) {
    const std::wstring fileName = PayloadFileName(payload);
    const std::wstring source = std::wstring(ZARVO_SOURCE_DIR) + L"\\payloads\\" + fileName;
    return Exists(source) ? source : std::wstring(ZARVO_STANDIN_DIR) + L"\\" + fileName;
}

void RemoveInstallation(const std::wstring& root) {
    RemoveTree(root);
    DeleteFileW(DesktopLink().c_str());
    RemoveTree(ProgramGroup());
    RemoveTree(KeptFolder());
    for (const wchar_t* key : {kAppPaths, kUninstall, kClient, kPageClass, kLinkClass})
        DeleteRegTree(HKEY_LOCAL_MACHINE, key);
    HKEY apps = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRegisteredApps, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &apps) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(apps, L"泽沃浏览器");
        RegCloseKey(apps);
    }
}

void ExpectFilesInstalled(const std::wstring& dir) {
    for (const wchar_t* payload : PayloadNames) {
        const std::wstring installed = PayloadDestination(dir, payload, PayloadFileName(payload));
        ASSERT_TRUE(Exists(installed)) << payload;
        EXPECT_EQ(ReadBytes(installed), ReadBytes(PlainSource(payload))) << payload;
    }
    for (const wchar_t* folder : Product::kFolders)
        EXPECT_TRUE(Exists(dir + folder)) << folder;
}

namespace {

std::wstring ShortcutPath(const Product::Shortcut& shortcut) {
    return (shortcut.place == Product::LinkPlace::Desktop ? SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)
                                                          : ProgramGroup()) +
           L"\\" + shortcut.name;
}

// A value's data as the registry returns it, its type aside.
std::wstring NumberText(DWORD number) {
    return std::wstring(reinterpret_cast<const wchar_t*>(&number), 2);
}

}  // namespace

void ExpectProductInstalled(const std::wstring& dir) {
    ExpectFilesInstalled(dir);
    unsigned long long plainBytes = 0;
    for (const wchar_t* payload : PayloadNames)
        plainBytes += ReadBytes(PlainSource(payload)).size();
    // Each row of the product's values, as its kind of data reads.
    for (const Product::Value& value : Product::kValues) {
        const RegValue actual = ReadRegValue(HKEY_LOCAL_MACHINE, value.key, value.name);
        // Only where the installation made folders above its own; the
        // system's defaults are never an installation's.
        if (value.data == Product::Data::Above || Product::SetsDefault(value.data))
            continue;
        ASSERT_TRUE(actual.exists) << (&value - Product::kValues);
        std::wstring text;
        DWORD type = REG_SZ;
        switch (value.data) {
            case Product::Data::Text:
                text = value.text;
                break;
            case Product::Data::ExpandInFolder:
                type = REG_EXPAND_SZ;
                [[fallthrough]];
            case Product::Data::InFolder:
                text = dir + value.text;
                break;
            case Product::Data::Command:
                text = L"\"" + dir + value.text;
                break;
            case Product::Data::Kept:
                text = L"\"" + SpecialFolder(CSIDL_PROGRAM_FILES) + value.text;
                break;
            case Product::Data::Date:
                // Today's local date, or that of ten minutes ago for an
                // installation that ran over midnight.
                text = actual.text == LocalDate(-10) + L'\0' ? LocalDate(-10) : LocalDate(0);
                break;
            case Product::Data::Choice:
                text = L"/DesktopShortcut=true /StartMenuShortcut=true";
                break;
            case Product::Data::Number:
            case Product::Data::Size:
            case Product::Data::Icons:
                type = REG_DWORD;
                text = NumberText(value.data == Product::Data::Size    ? static_cast<DWORD>((plainBytes + 1023) / 1024)
                                  : value.data == Product::Data::Icons ? 1
                                                                       : value.number);
                break;
            default:
                break;
        }
        EXPECT_EQ(actual.type, type) << value.name;
        EXPECT_EQ(actual.text, type == REG_DWORD ? text : text + L'\0') << value.name << " is stored with its NUL";
    }
    for (const Product::Shortcut& shortcut : Product::kShortcuts) {
        const ShortcutInfo link = ReadShortcut(ShortcutPath(shortcut));
        ASSERT_TRUE(link.exists) << shortcut.name;
        EXPECT_EQ(link.target, dir + L"\\" + shortcut.target);
        EXPECT_EQ(link.workingDirectory, dir);
        EXPECT_EQ(link.description, shortcut.description);
        EXPECT_EQ(link.arguments, L"");
    }

    // What administrators and other programs rely on, as docs/administrators.md states
    // it: written out here, apart from the tables.
    const auto stored = [](const wchar_t* key, const wchar_t* name) {
        const std::wstring text = ReadRegValue(HKEY_LOCAL_MACHINE, key, name).text;
        return text.substr(0, text.find(L'\0'));
    };
    const std::pair<std::wstring, std::wstring> reference[] = {
        {stored(kAppPaths, L""), dir + L"\\Zarvo.exe"},
        {stored(kUninstall, L"DisplayName"), L"泽沃浏览器"},
        {stored(kUninstall, L"DisplayVersion"), L"1.1.0.2669"},
        {stored(kUninstall, L"InstallLocation"), dir},
        {stored(kUninstall, L"UninstallString"), L"\"" + dir + L"\\ZarvService.exe\" Uninstall"},
        {stored(kUninstall, L"QuietUninstallString"), L"\"" + KeptInstaller() + L"\" /uninstall /quiet"},
        {stored(kClient, L""), L"泽沃浏览器"},
        {stored((kClient + std::wstring(L"\\shell\\open\\command")).c_str(), L""), L"\"" + dir + L"\\Zarvo.exe\""},
        {stored((kClient + std::wstring(L"\\Capabilities\\URLAssociations")).c_str(), L"https"), L"ZarvoURL"},
        {stored((kClient + std::wstring(L"\\Capabilities\\FileAssociations")).c_str(), L".html"), L"ZarvoHTML"},
        {stored((kLinkClass + std::wstring(L"\\shell\\open\\command")).c_str(), L""),
         L"\"" + dir + L"\\Zarvo.exe\" \"%1\""},
        {stored((kPageClass + std::wstring(L"\\DefaultIcon")).c_str(), L""), dir + L"\\Zarvo.exe,0"},
        {stored(kRegisteredApps, L"泽沃浏览器"), kClient + std::wstring(L"\\Capabilities")},
        {stored((kClient + std::wstring(L"\\InstallInfo")).c_str(), L"HideIconsCommand"),
         L"\"" + KeptInstaller() + L"\" /HideIcons"},
        {ReadShortcut(DesktopLink()).target, dir + L"\\Zarvo.exe"},
        {ReadShortcut(ProgramGroup() + L"\\卸载泽沃浏览器.lnk").target, dir + L"\\Uninstall.exe"},
    };
    for (const auto& [actual, expected] : reference)
        EXPECT_EQ(actual, expected);
    EXPECT_EQ(std::size(Product::kFiles), 15u);
    EXPECT_EQ(std::size(Product::kShortcuts), 5u);
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, kLinkClass, L"URL Protocol").exists);
    EXPECT_EQ(std::size(Product::kValues), 70u);
    EXPECT_TRUE(Exists(KeptInstaller()));
}

namespace {

std::string BytesOrNone(const std::wstring& path) {
    return Exists(path) ? ReadText(path) : "none";
}

// The folders that hold the product's files and shortcuts.
std::vector<std::wstring> ProductFolders(const std::wstring& dir) {
    std::vector<std::wstring> folders{ProgramGroup(), SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), KeptFolder()};
    for (const Product::File& file : Product::kFiles)
        if (std::find(folders.begin(), folders.end(), dir + file.folder) == folders.end())
            folders.push_back(dir + file.folder);
    return folders;
}

}  // namespace

ProductState CurrentProduct(const std::wstring& dir) {
    ProductState state;
    for (const wchar_t* payload : PayloadNames)
        state.files.push_back(BytesOrNone(PayloadDestination(dir, payload, PayloadFileName(payload))));
    state.files.push_back(BytesOrNone(KeptInstaller()));
    for (const Product::Shortcut& shortcut : Product::kShortcuts)
        state.shortcuts.push_back(BytesOrNone(ShortcutPath(shortcut)));
    for (const wchar_t* key : Product::kKeys) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | ViewOf(HKEY_LOCAL_MACHINE, key), &opened) !=
            ERROR_SUCCESS) {
            state.values.push_back("no key");
            continue;
        }
        const UniqueHKey owned(opened);
        wchar_t name[256];
        BYTE data[4096];
        DWORD nameLength = 256, type = 0, size = sizeof data;
        for (DWORD i = 0; RegEnumValueW(opened, i, name, &nameLength, nullptr, &type, data, &size) == ERROR_SUCCESS;
             ++i, nameLength = 256, size = sizeof data)
            state.values.push_back(std::string(reinterpret_cast<const char*>(name), nameLength * 2) + ":" +
                                   std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(data), size));
    }
    return state;
}

void MakeOlderRelease(const std::wstring& dir) {
    for (const wchar_t* payload : PayloadNames) {
        const std::wstring file = PayloadDestination(dir, payload, PayloadFileName(payload));
        DeleteFileW(file.c_str());
        const std::wstring name = payload;
        WriteBytes(file, "older " + std::string(name.begin(), name.end()));
    }
    DeleteFileW(KeptInstaller().c_str());
    WriteBytes(KeptInstaller(), "an older installer");
}

std::vector<std::wstring> RunNamesLeft(const std::wstring& dir) {
    std::vector<std::wstring> left;
    for (const std::wstring& folder : ProductFolders(dir)) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*zs-*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            if (ParseRunName(found.cFileName).kind != RunNameKind::None)
                left.push_back(folder + L"\\" + found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return left;
}
