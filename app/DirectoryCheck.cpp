#include "app/DirectoryCheck.h"

#include "app/InstallMain.h"
#include "install/DiskSpace.h"
#include "install/PathRules.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"
#include "system/PathRoot.h"

#include <algorithm>

namespace {

FolderRefusal Unsafe(const FolderVerdict& verdict, std::wstring& message) {
    static const wchar_t* const kTexts[] = {
        L"安装目录“%1”不属于管理员：其他账户可以更改安装在其中的程序。\r\n请选择其他文件夹。",
        L"安装目录“%1”允许其他账户写入或删除其中的文件。\r\n请选择其他文件夹。",
        L"文件夹“%1”允许其他账户重命名或替换其中的安装目录。\r\n请选择其他文件夹。",
        L"安装目录“%1”正被其他程序独占使用。\r\n请关闭该程序或选择其他文件夹。",
    };
    message = FormatText(kTexts[static_cast<int>(verdict.risk) - 1], {verdict.folder});
    return FolderRefusal::Unsafe;
}

FolderRefusal Changed(const std::wstring& dir, std::wstring& message) {
    message = FormatText(L"安装目录“%1”在检查期间被其他程序更改。\r\n请选择其他文件夹。", {dir});
    return FolderRefusal::Changed;
}

// The deepest folder of the path that exists, held, with the names below it
// that do not ("\Apps\Zarvo").
HeldFolder DeepestExisting(const std::wstring& dir, std::wstring& missing, DWORD& error) {
    const std::size_t root = PathRoot(dir).size();
    for (std::size_t end = dir.size();; end = dir.rfind(L'\\', end - 1)) {
        HeldFolder folder = HeldFolder::Open(dir.substr(0, std::max(end, root)), error);
        if (folder || end <= root || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)) {
            missing = dir.substr(std::min(end, dir.size()));
            return folder;
        }
    }
}

// Whether the typed path leads to the held folder: one volume, one file.
bool LeadsTo(const std::wstring& dir, const HeldFolder& folder) {
    // Opened for its attributes only, which clashes with no holder's sharing.
    const UniqueHandle typed(CreateFileW(dir.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION files[2] = {};
    for (int i = 0; i < 2; ++i)
        if (!GetFileInformationByHandle(i ? folder.Handle() : typed.get(), &files[i]))
            return false;
    return files[0].dwVolumeSerialNumber == files[1].dwVolumeSerialNumber &&
           files[0].nFileIndexHigh == files[1].nFileIndexHigh && files[0].nFileIndexLow == files[1].nFileIndexLow;
}

// The install folder once it is held, made or not (`error` tells why not).
FolderRefusal JudgeInstallFolder(const std::wstring& dir, CheckedFolder& checked, DWORD error, std::wstring& message) {
    // A name that appeared at a missing folder's place after the first look,
    // a link included, is never followed.
    if (!checked.folder)
        return error == ERROR_ALREADY_EXISTS ? Changed(dir, message) : FolderRefusal::Unusable;
    // What was made is judged where it is too.
    if (!checked.made.empty()) {
        const FolderVerdict verdict = JudgeHeldFolder(checked.folder, dir);
        if (verdict.risk != FolderRisk::None)
            return Unsafe(verdict, message);
    }
    // A link on the way that was re-pointed meanwhile leads the typed path
    // elsewhere than the folder that was judged.
    if (!LeadsTo(dir, checked.folder))
        return Changed(dir, message);
    checked.path = checked.folder.Path();
    return WellFormedInstallDir(checked.path) ? FolderRefusal::None : FolderRefusal::Unusable;
}

// Removes what the check made, innermost first, as a failed installation does.
void Discard(CheckedFolder& checked) {
    checked.folder = HeldFolder();
    for (auto made = checked.made.rbegin(); made != checked.made.rend(); ++made)
        RemoveMade(*made);
    checked.made.clear();
}

}  // namespace

// A text that every later path can be built on, in a folder that only the
// administrators could change, on a disk with room: nothing is made before
// all three are known.
FolderRefusal CheckInstallFolder(const std::wstring& dir,
                                 const std::wstring& tempDir,
                                 CheckedFolder& checked,
                                 std::wstring& message,
                                 void (*beforeMaking)()) {
    message = L"安装目录格式不正确，请重新选择！";
    if (!WellFormedInstallDir(dir))
        return FolderRefusal::Unusable;
    FolderVerdict verdict = JudgeInstallPath(dir);
    if (verdict.risk != FolderRisk::None)
        return Unsafe(verdict, message);
    const std::wstring bare = WithoutTrailingBackslash(dir);
    std::wstring missing;
    DWORD error = 0;
    HeldFolder deepest = DeepestExisting(bare, missing, error);
    if (!deepest)
        return error == ERROR_SHARING_VIOLATION ? Unsafe({FolderRisk::InUse, dir}, message) : FolderRefusal::Unusable;
    // Judged where it is, as it is held: the install folder, or what the
    // missing folders are made in. A link may lead there, and another account
    // may have made a folder on the way after the first look.
    verdict = JudgeHeldFolder(deepest, missing.empty() ? dir : deepest.Path(), !missing.empty());
    if (verdict.risk != FolderRisk::None)
        return Unsafe(verdict, message);
    if (std::wstring shortage = RoomShortage(deepest, dir, tempDir); !shortage.empty()) {
        message = std::move(shortage);
        return FolderRefusal::NoRoom;
    }
    if (beforeMaking)
        beforeMaking();
    checked.folder =
        missing.empty() ? std::move(deepest) : TInstallForm::EnsureDirectory(deepest, missing, checked.made, error);
    const FolderRefusal refusal = JudgeInstallFolder(bare, checked, error, message);
    if (refusal != FolderRefusal::None)
        Discard(checked);
    return refusal;
}

bool TInstallForm::DirectoryAccepted(const std::wstring& dir) {
    std::wstring message;
    CheckedFolder checked;
    refusal_ = CheckInstallFolder(dir, InstallMain::TempDir, checked, message, beforeFolderMade_);
    if (refusal_ == FolderRefusal::None) {
        installFolder_ = std::move(checked.folder);
        installDir_ = std::move(checked.path);
        madeFolders_ = std::move(checked.made);
        return true;
    }
    application_.Message(window_.Handle(), message.c_str(), Application::kTitle,
                         MB_OK | (refusal_ == FolderRefusal::Unusable ? 0 : MB_ICONWARNING));
    return false;
}
