#include "tests/gui/Driver.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(Resources, ManifestAsksForAdministratorAndCommonControls6) {
    InstallerImage image;
    ASSERT_TRUE(image.Module());
    const std::string manifest = image.Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
}

TEST(Resources, OneIconOf32By32At32Bits) {
    InstallerImage image;
    const std::string group = image.Bytes(MAKEINTRESOURCEW(14), L"MAINICON");
    ASSERT_EQ(group.size(), 6u + 14u) << "a header and one entry";
    EXPECT_EQ(group[4], 1) << "one image";
    EXPECT_EQ(static_cast<unsigned char>(group[6]), 32u);  // width
    EXPECT_EQ(static_cast<unsigned char>(group[7]), 32u);  // height
    EXPECT_EQ(group[12], 32) << "bits per pixel";
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
