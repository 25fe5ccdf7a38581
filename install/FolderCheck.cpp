#include "install/FolderCheck.h"

#include "install/DiskSpace.h"
#include "install/Texts.h"
#include "system/Error.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"
#include "system/PathRoot.h"
#include "system/Product.h"
#include "system/Reg.h"
#include "system/RunNames.h"

#include <algorithm>

namespace {

// A refusal before its text is made: why, the box's text, and what it names
// (the folder; the room's shortage is a text of its own).
struct Reason {
    FolderRefusal refusal = FolderRefusal::None;
    const wchar_t* text = nullptr;
    std::wstring named;
};

Reason Unsafe(const FolderVerdict& verdict) {
    return {FolderRefusal::Unsafe, kFolderUnsafeTexts[static_cast<int>(verdict.risk) - 1], verdict.folder};
}

// The deepest folder of the path that exists, held, with the names below it
// that do not ("\Apps\Zarvo").
HeldFolder DeepestExisting(const std::wstring& dir, std::wstring& missing) {
    const std::size_t root = PathRoot(dir).size();
    for (std::size_t end = dir.size();; end = dir.rfind(L'\\', end - 1)) {
        HeldFolder folder = HeldFolder::Open(dir.substr(0, std::max(end, root)));
        const DWORD error = folder.Error();
        if (folder || end <= root || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)) {
            missing = dir.substr(std::min(end, dir.size()));
            return folder;
        }
    }
}

// The installed copy's folder, reached from its drive's root one name at a
// time through no link, and the folder above it, through which it goes.
HeldFolder InstalledFolder(const std::wstring& dir, HeldFolder& above) {
    above = HeldFolder::OpenWithoutLinks(ParentPart(dir));
    return above.ExistingFolder(NameOf(dir));
}

// Whether the installed copy's folder is gone: missing, not refused for a
// link on the way, and on a drive that is there (one whose medium is out
// still holds the product).
bool Gone(const std::wstring& dir, DWORD error) {
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && HeldFolder::Open(PathRoot(dir));
}

// Whether the folder holds the product, as an upgrade judges it: its main
// program, a file; or what a run of ours left there once that program went
// (its marker, its journal, the program's kept copy), which only an
// administrator's run puts in a folder that passes the rules, so that a
// removal cut off is finished by the next; or an entry that no longer has
// its removal's command, which only a removal that went past its values and
// its marker leaves, cut off before the folder or what locates it went. Any
// other folder is not the product's, and nothing in it is removed.
bool HoldsProduct(const HeldFolder& folder) {
    const DWORD program = GetFileAttributesW((folder.Path() + L"\\" ZARVO_BROWSER_FILE).c_str());
    if (program != INVALID_FILE_ATTRIBUTES && !(program & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    const std::vector<std::wstring> names = folder.Names();
    return std::any_of(names.begin(), names.end(),
                       [](const std::wstring& name) {
                           const RunName run = ParseRunName(name);
                           return run.kind == RunNameKind::Done || run.kind == RunNameKind::Journal ||
                                  (run.kind == RunNameKind::Old && SameName(run.original, ZARVO_BROWSER_FILE));
                       }) ||
           RegReadHint(HKEY_LOCAL_MACHINE, Product::kUninstallKey, Product::kUninstallStringValue).empty();
}

// Whether the typed path leads to the held folder: one volume, one file.
bool LeadsTo(const std::wstring& dir, const HeldFolder& folder) {
    // Opened for its attributes only, which clashes with no holder's sharing.
    const UniqueHandle typed(CreateFileW(dir.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return SameFile(typed.get(), folder.Handle());
}

// A text that every later path can be built on, in a folder that only the
// administrators could change, on a disk with room: nothing is made before
// all three are known. An installed copy's folder must be there.
Reason Check(const std::wstring& dir,
             const std::wstring& tempDir,
             InstallFolder& folder,
             LogSink& log,
             void (*beforeMaking)(),
             bool installed) {
    if (!WellFormedInstallDir(dir))
        return {FolderRefusal::Unusable, kFolderUnusableText, {}};
    FolderVerdict verdict = JudgeInstallPath(dir);
    if (verdict.risk != FolderRisk::None)
        return Unsafe(verdict);
    const std::wstring bare = WithoutTrailingBackslash(dir);
    std::wstring missing;
    HeldFolder deepest = installed ? InstalledFolder(bare, folder.above) : DeepestExisting(bare, missing);
    // A copy whose folder was deleted by hand leaves its shortcuts and values
    // to remove, and nothing to hold.
    if (installed && !deepest && Gone(bare, deepest.Error())) {
        folder.path = bare;
        return {};
    }
    if (!deepest)
        return deepest.Error() == ERROR_SHARING_VIOLATION
                   ? Unsafe({FolderRisk::InUse, dir})
                   : Reason{FolderRefusal::Unusable, installed ? kInstalledFolderElsewhereText : kFolderUnusableText, bare};
    // Judged where it is, as it is held: the install folder, or what the
    // missing folders are made in. A link may lead there, and another account
    // may have made a folder on the way after the first look.
    const std::wstring at = missing.empty() ? dir : deepest.Path();
    verdict = JudgeHeldFolder(deepest, at, !missing.empty());
    if (verdict.risk != FolderRisk::None)
        return Unsafe(verdict);
    if (installed && !HoldsProduct(deepest))
        return {FolderRefusal::Unusable, kInstalledFolderEmptyText, bare};
    if (std::wstring shortage = installed ? std::wstring() : RoomShortage(deepest, dir, tempDir); !shortage.empty())
        return {FolderRefusal::NoRoom, L"%1", std::move(shortage)};
    if (beforeMaking)
        beforeMaking();
    folder.made = PlanFoldersBelow(at, missing);
    folder.making.Below(std::move(deepest));
    // The check's one catch: a folder that cannot be made makes the folder
    // unusable, and a name that appeared at a missing folder's place after
    // the first look, a link included, one that changed.
    try {
        Execute(folder.made, folder.making, log);
    } catch (const Error& error) {
        return error.Code() == ERROR_ALREADY_EXISTS ? Reason{FolderRefusal::Changed, kFolderChangedText, bare}
                                                    : Reason{FolderRefusal::Unusable, kFolderUnusableText, {}};
    }
    folder.held = folder.making.TakeLast();
    // What was made is judged where it is too; and a link on the way that was
    // re-pointed meanwhile leads the typed path elsewhere than the folder
    // that was judged.
    verdict = folder.made.empty() ? FolderVerdict() : JudgeHeldFolder(folder.held, bare);
    Reason reason;
    if (verdict.risk != FolderRisk::None)
        reason = Unsafe(verdict);
    else if (!LeadsTo(bare, folder.held))
        reason = {FolderRefusal::Changed, kFolderChangedText, bare};
    else if (!WellFormedInstallDir(folder.path = folder.held.Path()))
        reason = {FolderRefusal::Unusable, kFolderUnusableText, {}};
    if (reason.refusal != FolderRefusal::None) {
        folder.held = HeldFolder();
        Undo(folder.made, folder.making, log);
    }
    return reason;
}

}  // namespace

Refusal CheckInstallFolder(const std::wstring& dir,
                           const std::wstring& tempDir,
                           InstallFolder& folder,
                           LogSink& log,
                           void (*beforeMaking)(),
                           bool installed) {
    const Reason reason = Check(dir, tempDir, folder, log, beforeMaking, installed);
    const auto recorded = [](const wchar_t* name) {
        return RegReadHint(HKEY_LOCAL_MACHINE, Product::kUninstallKey, name);
    };
    const std::wstring location = recorded(Product::kInstallLocationValue);
    const bool same = installed || SameName(location, folder.path);
    folder.madeAbove = folder.made.size() > 1 ? folder.made.front().path
                       : same                 ? recorded(Product::kMadeAboveValue)
                                              : std::wstring();
    folder.moving = !same && !location.empty();
    std::wstring message = reason.text ? FormatText(reason.text, {reason.named}) : std::wstring();
    // A removal cannot choose another folder: its box keeps the reason alone.
    if (installed)
        message = message.substr(0, message.find(L"\r\n"));
    return {reason.refusal, message};
}
