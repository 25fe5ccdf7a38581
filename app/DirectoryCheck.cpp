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

// Why nothing may be installed into the folder, with the text that tells it
// (none: it is held, ready). A text that every later path can be built on, in
// a folder that only the administrators could change, on a disk with room:
// nothing is made before all three are known.
FolderRefusal Refusal(const std::wstring& dir, std::wstring& message, HeldFolder& folder) {
    message = L"安装目录格式不正确，请重新选择！";
    if (!WellFormedInstallDir(dir))
        return FolderRefusal::Unusable;
    FolderVerdict verdict = JudgeInstallPath(dir);
    if (verdict.risk == FolderRisk::None) {
        if (std::wstring shortage = RoomShortage(dir, InstallMain::TempDir); !shortage.empty()) {
            message = std::move(shortage);
            return FolderRefusal::NoRoom;
        }
        DWORD error = 0;
        if (!TInstallForm::EnsureDirectory(dir) || !(folder = HeldFolder::Open(WithoutTrailingBackslash(dir), error)))
            return FolderRefusal::Unusable;
        // Judged again as it is held: another account may have made the
        // folder after the first look, where the folder above lets it.
        verdict = JudgeHeldFolder(folder, dir);
        if (verdict.risk == FolderRisk::None)
            return FolderRefusal::None;
    }
    message = RiskText(verdict);
    return FolderRefusal::Unsafe;
}

}  // namespace

bool TInstallForm::DirectoryAccepted(const std::wstring& dir) {
    std::wstring message;
    HeldFolder folder;
    refusal_ = Refusal(dir, message, folder);
    if (refusal_ == FolderRefusal::None) {
        installFolder_ = std::move(folder);
        return true;
    }
    application_.Message(window_.Handle(), message, Application::kTitle,
                         MB_OK | (refusal_ == FolderRefusal::Unusable ? 0 : MB_ICONWARNING));
    return false;
}
