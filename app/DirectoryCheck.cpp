#include "app/InstallMain.h"
#include "install/DiskSpace.h"
#include "install/PathRules.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"

namespace {

std::wstring RiskText(const FolderVerdict& verdict) {
    static const wchar_t* const kTexts[] = {
        L"安装目录“%1”不属于管理员：其他账户可以更改安装在其中的程序。\r\n请选择其他文件夹。",
        L"安装目录“%1”允许其他账户写入或删除其中的文件。\r\n请选择其他文件夹。",
        L"文件夹“%1”允许其他账户重命名或替换其中的安装目录。\r\n请选择其他文件夹。",
    };
    return FormatText(kTexts[static_cast<int>(verdict.risk) - 1], {verdict.folder});
}

}  // namespace

bool TInstallForm::DirectoryAccepted(const std::wstring& dir) {
    refusal_ = FolderRefusal::Unusable;
    std::wstring message = L"安装目录格式不正确，请重新选择！";
    UINT icon = 0;
    // A text that every later path can be built on, in a folder that only the
    // administrators could change, on a disk with room: nothing is made
    // before all three are known.
    FolderVerdict verdict;
    std::wstring shortage;
    DWORD error = 0;
    HeldFolder folder;
    if (!WellFormedInstallDir(dir)) {
    } else if ((verdict = JudgeInstallPath(dir)).risk != FolderRisk::None) {
        refusal_ = FolderRefusal::Unsafe;
    } else if (!(shortage = RoomShortage(dir, InstallMain::TempDir)).empty()) {
        refusal_ = FolderRefusal::NoRoom;
        message = shortage;
        icon = MB_ICONWARNING;
    } else if (EnsureDirectory(dir) && (folder = HeldFolder::Open(WithoutTrailingBackslash(dir), error))) {
        // Judged again as it is held: another account may have made the
        // folder after the first look, where the folder above lets it.
        verdict = JudgeHeldFolder(folder, dir);
        refusal_ = verdict.risk == FolderRisk::None ? FolderRefusal::None : FolderRefusal::Unsafe;
    }
    if (refusal_ == FolderRefusal::Unsafe) {
        message = RiskText(verdict);
        icon = MB_ICONWARNING;
    }
    if (refusal_ == FolderRefusal::None) {
        installFolder_ = std::move(folder);
        return true;
    }
    application_.Message(window_.Handle(), message, Application::kTitle, MB_OK | icon);
    return false;
}
