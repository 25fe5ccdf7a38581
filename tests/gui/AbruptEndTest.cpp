#include "system/ComApartment.h"
#include "system/RunNames.h"
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

// Whether a name of the run's own of that kind stands in the install folder.
bool NameLeft(const std::wstring& dir, const wchar_t* kind) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((dir + L"\\*.zs-*" + kind).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
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
        ASSERT_TRUE(first.WaitForExit());
    }
    const std::vector<std::string> newer = CurrentProduct(dir).files;
    // The end may come too late, after the installation has finished: then
    // it is tried again.
    for (const wchar_t* moment : {L"-new", L"-old"}) {
        bool caught = false;
        for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
            MakeOlderRelease(dir);
            const std::vector<std::string> older = CurrentProduct(dir).files;
            {
                Installer installer(InstallerPath(), arguments);
                // Looked for without a pause: the new files have their names
                // for a few milliseconds only.
                while (!NameLeft(dir, moment) && installer.Running()) {
                }
                TerminateProcess(installer.Process(), 1);
                installer.WaitForExit();
            }
            // Whole, the older or the newer, but for the one file whose name
            // may have been changing hands.
            const std::vector<std::string> left = CurrentProduct(dir).files;
            int changing = 0;
            for (std::size_t i = 0; i < left.size(); ++i) {
                changing += left[i] == "none";
                EXPECT_TRUE(left[i] == older[i] || left[i] == newer[i] || left[i] == "none")
                    << "file " << i << " whole, at " << moment;
            }
            EXPECT_LE(changing, 1) << moment;
            const std::vector<std::wstring> names = RunNamesLeft(dir);
            caught = !names.empty();
            // Ended once its marker stood, the run had changed everything.
            const bool finished = std::any_of(names.begin(), names.end(), [](const std::wstring& name) {
                return ParseRunName(name.substr(name.rfind(L'\\') + 1)).kind == RunNameKind::Done;
            });
            {
                Installer next(InstallerPath(), arguments);
                ASSERT_TRUE(next.WaitForExit());
                EXPECT_EQ(next.ExitCode(), 0u);
            }
            if (caught) {
                EXPECT_NE(ReadText(kLog).find(finished ? "上次安装已经完成：已删除它留下的旧文件。"
                                                       : "上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。"),
                          std::string::npos)
                    << moment;
            }
            ExpectFilesInstalled(dir);
            EXPECT_TRUE(RunNamesLeft(dir).empty()) << moment;
        }
        EXPECT_TRUE(caught) << "an installation ended at " << moment;
    }
    Clean();
}
