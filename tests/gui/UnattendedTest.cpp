#include "app/ExitCode.h"
#include "payload/Catalogue.h"
#include "system/ComApartment.h"
#include "tests/gui/Driver.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const wchar_t kRoot[] = L"C:\\Zarvo Unattended";
const wchar_t kLog[] = L"C:\\Zarvo Unattended.log";
const wchar_t kCaption[] = L"泽沃浏览器V1.1.0.2669 beta 安装程序";

std::string Utf8(const std::wstring& text) {
    std::string bytes(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

// The log as it should read: a byte-order mark, then one line per text.
std::string LogOf(const std::vector<std::wstring>& lines) {
    std::string text = "\xEF\xBB\xBF";
    for (const std::wstring& line : lines)
        text += Utf8(line) + "\r\n";
    return text;
}

std::string LogWritten() {
    const std::vector<unsigned char> bytes = ReadBytes(kLog);
    return std::string(bytes.begin(), bytes.end());
}

class Unattended : public testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean() {
        RemoveTree(kRoot);
        DeleteFileW(kLog);
        DeleteFileW(DesktopLink().c_str());
        RemoveTree(ProgramGroup());
        DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPaths);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstall);
    }

    // Runs the installer with the arguments to its end; returns its exit code.
    static DWORD Run(const std::wstring& arguments, const std::wstring& path = InstallerPath()) {
        Installer installer(path, arguments);
        bool shown = false;
        EXPECT_TRUE(WaitUntil(
            [&] {
                shown = shown || installer.ShowsAnyWindow();
                return !installer.Running();
            },
            120000));
        EXPECT_FALSE(shown) << "no window and no box";
        return installer.ExitCode();
    }

    ComApartment com_;
};

}  // namespace

TEST_F(Unattended, InstallsIntoTheFolderGivenAndLogsEachStep) {
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    ASSERT_EQ(Run(L"/S /LOG=\"" + std::wstring(kLog) + L"\" /D=" + dir), static_cast<DWORD>(kInstalled));
    ExpectProductInstalled(dir);

    std::vector<std::wstring> steps = {kCaption, L"正在创建目录，请稍候", L"正在检查使用情况，请稍候"};
    for (const wchar_t* payload : PayloadNames) {
        steps.push_back(L"正在抽取：" + std::wstring(payload) + L".zip");
        steps.push_back(L"正在解压缩：" + PayloadFileName(payload));
    }
    for (const wchar_t* step : {L"正在创建快捷方式", L"正在更新系统键值", L"正在删除生成的临时文件", L"安装完成"})
        steps.push_back(step);
    EXPECT_EQ(LogWritten(), LogOf(steps));
}

TEST_F(Unattended, RefusedFolderEndsWithItsCodeAndChangesNothing) {
    // Windows would drop the trailing dot and install into "Zarvo".
    EXPECT_EQ(Run(L"\"/LOG=" + std::wstring(kLog) + L"\" /s /D=" + kRoot + L"\\Zarvo.  "),
              static_cast<DWORD>(kFolderRefused));
    EXPECT_EQ(LogWritten(), LogOf({kCaption, L"安装目录格式不正确，请重新选择！"}));
    EXPECT_FALSE(Exists(kRoot));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_FALSE(Exists(DesktopLink()));
}

// A download damaged on its way: one byte of the browser's payload changed.
TEST_F(Unattended, DamagedCopyTellsSoOnceAndChangesNothing) {
    std::vector<unsigned char> image = ReadBytes(InstallerPath());
    const std::wstring build = InstallerPath().substr(0, InstallerPath().rfind(L'\\'));
    const std::vector<unsigned char> container = ReadBytes(build + L"\\payloads\\Zarvoexe.container");
    const auto at = std::search(image.begin(), image.end(), container.begin(), container.end());
    ASSERT_NE(at, image.end());
    at[container.size() / 2] ^= 1;
    ASSERT_TRUE(CreateDirectoryW(kRoot, nullptr));
    const std::wstring copy = std::wstring(kRoot) + L"\\ZarvoSetup.exe";
    WriteBytes(copy, std::string(image.begin(), image.end()));

    {
        Installer installer(copy);
        HWND box = installer.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(Text(box), L"泽沃浏览器安装程序");
        EXPECT_EQ(MessageBoxText(box), L"安装程序已损坏，请重新下载。");
        EXPECT_FALSE(MessageBoxHasButton(box, IDCANCEL));
        EXPECT_FALSE(FindWindowW(L"TInstallForm", nullptr)) << "no wizard";
        Answer(box, IDOK);
        ASSERT_TRUE(installer.WaitForExit());
        EXPECT_EQ(installer.ExitCode(), static_cast<DWORD>(kInstallerDamaged));
    }

    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    EXPECT_EQ(Run(L"/S \"/LOG=" + std::wstring(kLog) + L"\" /D=" + dir, copy), static_cast<DWORD>(kInstallerDamaged));
    EXPECT_EQ(LogWritten(), LogOf({kCaption, L"安装程序已损坏，请重新下载。"}));
    EXPECT_FALSE(Exists(dir));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_FALSE(Exists(DesktopLink()));
}
