#include "system/ComApartment.h"
#include "tests/gui/Driver.h"
#include "tests/win/InstalledProduct.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const wchar_t kRoot[] = L"C:\\Zarvo Abrupt";
const wchar_t kLog[] = L"C:\\Zarvo Abrupt.log";

void Clean() {
    RemoveInstallation(kRoot);
    DeleteFileW(kLog);
}

bool NameLeftEndingIn(const std::wstring& dir, const wchar_t* ending) {
    for (const std::wstring& name : RunNamesLeft(dir))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ending) == 0)
            return true;
    return false;
}

std::string LogText() {
    const std::vector<unsigned char> bytes = Exists(kLog) ? ReadBytes(kLog) : std::vector<unsigned char>();
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Ended abruptly (a power cut, a deployment tool's time-out) while it writes
// the new files, or once they have their names, an upgrade leaves every file
// whole, of the older release or of the new one; the next installation
// settles what it left, says so in its log, and installs.
TEST(AbruptEnd, LeavesEveryFileWholeAndTheNextRunSettlesIt) {
    const ComApartment com;
    Clean();
    const std::wstring dir = std::wstring(kRoot) + L"\\Zarvo";
    const std::wstring arguments = L"/S \"/LOG=" + std::wstring(kLog) + L"\" /D=" + dir;
    {
        Installer first(InstallerPath(), arguments);
        ASSERT_TRUE(first.WaitForExit(120000));
    }
    const std::vector<std::string> newer = CurrentProduct(dir).files;
    for (const wchar_t* moment : {L"-new", L"-old"}) {
        MakeOlderRelease(dir);
        const std::vector<std::string> older = CurrentProduct(dir).files;
        {
            Installer installer(InstallerPath(), arguments);
            EXPECT_TRUE(WaitUntil([&] { return NameLeftEndingIn(dir, moment) || !installer.Running(); }, 120000));
            TerminateProcess(installer.Process(), 1);
            installer.WaitForExit();
        }
        const std::vector<std::string> left = CurrentProduct(dir).files;
        for (std::size_t i = 0; i < left.size(); ++i)
            EXPECT_TRUE(left[i] == older[i] || left[i] == newer[i]) << "file " << i << " whole, at " << moment;
        {
            Installer next(InstallerPath(), arguments);
            ASSERT_TRUE(next.WaitForExit(120000));
            EXPECT_EQ(next.ExitCode(), 0u);
        }
        EXPECT_NE(LogText().find("上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。"), std::string::npos)
            << moment;
        ExpectFilesInstalled(dir);
        EXPECT_TRUE(RunNamesLeft(dir).empty()) << moment;
    }
    Clean();
}
