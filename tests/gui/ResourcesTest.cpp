#include "tests/gui/Driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// The installer loaded as data, so that its resources can be read.
class InstallerImage {
  public:
    InstallerImage() : module_(LoadLibraryExW(InstallerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~InstallerImage() { FreeLibrary(module_); }
    InstallerImage(const InstallerImage&) = delete;
    InstallerImage& operator=(const InstallerImage&) = delete;

    std::string Bytes(const wchar_t* type, const wchar_t* name) const {
        HRSRC info = FindResourceW(module_, name, type);
        if (!info)
            return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, info)));
        return std::string(data, SizeofResource(module_, info));
    }
    HMODULE Module() const { return module_; }

  private:
    HMODULE module_;
};

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080403a8\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return L"(missing)";
    return value;
}

// The elements that Windows XP's manifest parser refuses: a child of the
// assembly that XP does not know, unless it declares a namespace of its own
// (XP skips other namespaces), and any element that declares two namespaces
// (XP SP2 crashes on it). The manifest is well-formed.
std::vector<std::string> RefusedByXp(const std::string& manifest) {
    static const std::set<std::string> known{
        "assemblyIdentity", "comInterfaceExternalProxyStub", "dependency", "description", "file", "noInherit",
        "noInheritable"};
    std::vector<std::string> refused;
    int depth = 0;
    for (size_t at = manifest.find('<'); at != std::string::npos; at = manifest.find('<', at + 1)) {
        if (manifest.compare(at, 4, "<!--") == 0) {
            at = manifest.find("-->", at);
            continue;
        }
        const std::string tag = manifest.substr(at + 1, manifest.find('>', at) - at - 1);
        if (tag[0] == '?')
            continue;
        if (tag[0] == '/') {
            --depth;
            continue;
        }
        const std::string name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
        int namespaces = 0;
        for (size_t x = tag.find("xmlns"); x != std::string::npos; x = tag.find("xmlns", x + 1))
            ++namespaces;
        if (namespaces > 1 || (depth == 1 && namespaces == 0 && !known.count(name)))
            refused.push_back(name);
        if (tag.back() != '/')
            ++depth;
    }
    return refused;
}

// The installer's manifest as the system's parser reads it.
HANDLE ManifestContext() {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = InstallerPath().c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    return CreateActCtxW(&request);
}

// The alpha of an icon's pixel as the system decodes it.
int IconAlpha(const std::string& data, int size, int x, int y) {
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                          static_cast<DWORD>(data.size()), TRUE, 0x00030000, size, size, 0);
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return -1;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(size) * size);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return static_cast<int>(pixels[static_cast<size_t>(y) * size + x] >> 24);
}

}  // namespace

TEST(Resources, ManifestAsksForAdministratorAndCommonControls6) {
    InstallerImage image;
    ASSERT_TRUE(image.Module());
    const std::string manifest = image.Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
}

TEST(Resources, ManifestNamesWindowsVistaTo11InAFormThatXpAccepts) {
    HANDLE context = ManifestContext();
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the system's parser refuses it: " << GetLastError();
    std::vector<BYTE> buffer(1024);
    SIZE_T needed = 0;
    const BOOL queried = QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer.data(),
                                      buffer.size(), &needed);
    ReleaseActCtx(context);
    ASSERT_TRUE(queried);
    ASSERT_LE(needed, buffer.size());
    EXPECT_EQ(reinterpret_cast<const ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION*>(buffer.data())->ElementCount, 5u);
    // Each element is a GUID and its type; later Windows 10 SDKs, which Wine
    // follows, add a tested version to each, so the GUIDs are looked for.
    auto from = buffer.begin();
    for (const wchar_t* system : {L"{e2011457-1546-43c5-a5fe-008deee3d3f0}",     // Vista
                                  L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // 7
                                  L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // 8
                                  L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // 8.1
                                  L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10 and 11
        GUID id{};
        ASSERT_EQ(CLSIDFromString(system, &id), S_OK);
        const auto* bytes = reinterpret_cast<const BYTE*>(&id);
        from = std::search(from, buffer.begin() + needed, bytes, bytes + sizeof id);
        ASSERT_NE(from, buffer.begin() + needed) << "missing or out of order: " << system;
        from += sizeof id;
        DWORD type = 0;
        memcpy(&type, &*from, sizeof type);
        EXPECT_EQ(type, static_cast<DWORD>(ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)) << system;
    }

    InstallerImage image;
    EXPECT_EQ(RefusedByXp(image.Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1))), std::vector<std::string>{});
}

// Every size that Windows draws at some scale, 32 bits each: the small and
// large icons of Windows 2000 and XP as bitmaps, which they read, the others
// as PNG; each one clear around the emblem and solid at its heart.
TEST(Resources, IconInEverySizeOfEveryScale) {
    InstallerImage image;
    const std::string group = image.Bytes(MAKEINTRESOURCEW(14), L"MAINICON");
    ASSERT_EQ(group.size(), 6u + 8 * 14u) << "a header and eight entries";
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    for (int i = 0; i < 8; ++i) {
        const char* entry = group.data() + 6 + 14 * i;
        EXPECT_EQ(static_cast<unsigned char>(entry[0]), sizes[i] % 256) << sizes[i];
        EXPECT_EQ(entry[6], 32) << "bits per pixel of " << sizes[i];
        WORD id = 0;
        memcpy(&id, entry + 12, sizeof id);
        const std::string data = image.Bytes(MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(id));
        const bool older = sizes[i] == 16 || sizes[i] == 32;
        EXPECT_EQ(data.compare(0, 4, older ? std::string("\x28\0\0\0", 4) : "\x89PNG"), 0) << sizes[i];
        EXPECT_EQ(IconAlpha(data, sizes[i], 0, 0), 0) << "corner of " << sizes[i];
        EXPECT_EQ(IconAlpha(data, sizes[i], sizes[i] / 2, sizes[i] / 2), 255) << "centre of " << sizes[i];
    }
}

// Declared in the manifest, where the system reads it before the first line
// runs: per-monitor awareness, v2 where the system has it (Windows 10), v1 on
// 8.1 ("true/pm"), and on Vista to 8 the system's dpi ("true").
TEST(Resources, ManifestDeclaresAwarenessOfEachMonitorsScale) {
    using Query = BOOL(WINAPI*)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*, SIZE_T, SIZE_T*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryActCtxSettingsW")));
    ASSERT_TRUE(query);
    HANDLE context = ManifestContext();
    ASSERT_NE(context, INVALID_HANDLE_VALUE);
    auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = {};
        SIZE_T length = 0;
        return query(0, context, space, name, value, 64, &length) ? std::wstring(value) : std::wstring();
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    ReleaseActCtx(context);
}

TEST(Resources, VersionInformation) {
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(InstallerPath().c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(InstallerPath().c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2669, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(2669, 0));
    EXPECT_EQ(fixed->dwFileOS, 4u) << "32-bit Windows";
    EXPECT_EQ(fixed->dwFileType, 1u) << "application";

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0804);
    EXPECT_EQ(translation[1], 936);
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"Zarvo Install");
    EXPECT_EQ(VersionString(info, L"Comments"), L"Zarvo Install");
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"1.1.0.2669");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"1.1.0.2669");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"泽沃浏览器");
    EXPECT_EQ(VersionString(info, L"CompanyName"), L"洛菲工作室");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"ZarvoSetup.exe");
}

TEST(Resources, PayloadsAreStoredUpperCaseInChinesePrc) {
    InstallerImage image;
    for (const wchar_t* name : {L"WHATSNEWTXT", L"ZARVOEXE", L"X0409INI"}) {
        const std::wstring type = std::wstring(L"MY") + name;
        EXPECT_TRUE(
            FindResourceExW(image.Module(), type.c_str(), name, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)))
            << "language 0x0804";
        EXPECT_FALSE(FindResourceExW(image.Module(), type.c_str(), name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)))
            << "stored once";
    }
}
