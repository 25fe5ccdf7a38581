#include "tests/win/InstalledProduct.h"

#include "payload/Catalogue.h"
#include "system/RunNames.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

std::wstring DesktopLink() {
    return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\泽沃浏览器.lnk";
}

std::wstring ProgramGroup() {
    return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\泽沃浏览器";
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
    DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPaths);
    DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstall);
}

void ExpectFilesInstalled(const std::wstring& dir) {
    for (const wchar_t* payload : PayloadNames) {
        const std::wstring installed = PayloadDestination(dir, payload, PayloadFileName(payload));
        ASSERT_TRUE(Exists(installed)) << payload;
        EXPECT_EQ(ReadBytes(installed), ReadBytes(PlainSource(payload))) << payload;
    }
    for (const wchar_t* empty : {L"\\Plugins", L"\\Temp\\Skin", L"\\Temp\\Update"})
        EXPECT_TRUE(Exists(dir + empty)) << empty;
}

void ExpectProductInstalled(const std::wstring& dir) {
    ExpectFilesInstalled(dir);
    struct Value {
        const wchar_t* key;
        const wchar_t* name;
        DWORD type;
        std::wstring text;
    };
    const Value values[] = {
        {kAppPaths, L"", REG_SZ, dir + L"\\Zarvo.exe"},
        {kAppPaths, L"Path", REG_SZ, dir},
        {kUninstall, L"Comments", REG_SZ,
         L"泽沃浏览器(Zarvo)是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器。"},
        {kUninstall, L"Contact", REG_SZ, L"zarvo@luofei.example"},
        {kUninstall, L"DisplayIcon", REG_SZ, dir + L"\\Zarvo.exe"},
        {kUninstall, L"DisplayName", REG_SZ, L"泽沃浏览器"},
        {kUninstall, L"Readme", REG_EXPAND_SZ, dir + L"\\Lisense.txt"},
        {kUninstall, L"UninstallString", REG_SZ, L"\"" + dir + L"\\ZarvService.exe\" Uninstall"},
        {kUninstall, L"Publisher", REG_SZ, L"洛菲工作室"},
        {kUninstall, L"URLInfoAbout", REG_SZ, L"http://www.zarvo.example/"},
        {kUninstall, L"HelpLink", REG_SZ, L"http://bbs.luofei.example/"},
        {kUninstall, L"URLUpdateInfo", REG_SZ, L"http://www.luofei.example/"},
        {kUninstall, L"DisplayVersion", REG_SZ, L"1.1.0.2669"},
        {kUninstall, L"InstallLocation", REG_SZ, dir},
        {kUninstall, L"ShortcutOptions", REG_SZ, L"/DesktopShortcut=true /StartMenuShortcut=true"},
    };
    for (const Value& expected : values) {
        const RegValue actual = ReadRegValue(HKEY_LOCAL_MACHINE, expected.key, expected.name);
        ASSERT_TRUE(actual.exists) << expected.name;
        EXPECT_EQ(actual.type, expected.type) << expected.name;
        EXPECT_EQ(actual.text, expected.text + L'\0') << expected.name << " is stored with its NUL";
    }
    unsigned long long plainBytes = 0;
    for (const wchar_t* payload : PayloadNames)
        plainBytes += ReadBytes(PlainSource(payload)).size();
    const struct {
        const wchar_t* name;
        DWORD value;
    } numbers[] = {{L"VersionMajor", 1},
                   {L"VersionMinor", 1},
                   {L"EstimatedSize", static_cast<DWORD>((plainBytes + 1023) / 1024)},
                   {L"NoModify", 1},
                   {L"NoRepair", 1}};
    for (const auto& expected : numbers) {
        const RegValue actual = ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, expected.name);
        EXPECT_EQ(actual.type, static_cast<DWORD>(REG_DWORD)) << expected.name;
        EXPECT_EQ(actual.text, std::wstring(reinterpret_cast<const wchar_t*>(&expected.value), 2)) << expected.name;
    }

    // Today's local date, or that of ten minutes ago for an installation that
    // ran over midnight.
    const RegValue date = ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"InstallDate");
    EXPECT_EQ(date.type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(date.text == LocalDate(0) + L'\0' || date.text == LocalDate(-10) + L'\0') << date.text;

    const std::wstring browserText =
        L"泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，"
        L"绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。";
    struct Link {
        std::wstring path, target, description;
    };
    const Link links[] = {
        {DesktopLink(), dir + L"\\Zarvo.exe", browserText},
        {ProgramGroup() + L"\\泽沃浏览器.lnk", dir + L"\\Zarvo.exe", browserText},
        {ProgramGroup() + L"\\在线升级.lnk", dir + L"\\ZarvUpdate.exe", L"在线升级，快速将软件升级到最新版本。"},
        {ProgramGroup() + L"\\更新记录.lnk", dir + L"\\whatsnew.txt", L"记录泽沃浏览器的更新历史。"},
        {ProgramGroup() + L"\\卸载泽沃浏览器.lnk", dir + L"\\Uninstall.exe", L"卸载程序"},
    };
    for (const Link& expected : links) {
        const ShortcutInfo link = ReadShortcut(expected.path);
        ASSERT_TRUE(link.exists) << "shortcut " << &expected - links;
        EXPECT_EQ(link.target, expected.target);
        EXPECT_EQ(link.workingDirectory, dir);
        EXPECT_EQ(link.description, expected.description);
        EXPECT_EQ(link.arguments, L"");
    }
}

namespace {

const wchar_t* const kLinkNames[] = {L"\\泽沃浏览器.lnk", L"\\在线升级.lnk", L"\\更新记录.lnk",
                                     L"\\卸载泽沃浏览器.lnk"};

std::string BytesOrNone(const std::wstring& path) {
    return Exists(path) ? ReadText(path) : "none";
}

std::vector<std::wstring> ProductFolders(const std::wstring& dir) {
    return {dir,
            dir + L"\\Data",
            dir + L"\\Skin",
            dir + L"\\Lang",
            ProgramGroup(),
            SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)};
}

}  // namespace

ProductState CurrentProduct(const std::wstring& dir) {
    ProductState state;
    for (const wchar_t* payload : PayloadNames)
        state.files.push_back(BytesOrNone(PayloadDestination(dir, payload, PayloadFileName(payload))));
    state.shortcuts.push_back(BytesOrNone(DesktopLink()));
    for (const wchar_t* name : kLinkNames)
        state.shortcuts.push_back(BytesOrNone(ProgramGroup() + name));
    for (const wchar_t* key : {kAppPaths, kUninstall}) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
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
