#include "install/MachineOperations.h"

#include "payload/Catalogue.h"
#include "payload/InstalledSize.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Files.h"
#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/ProcessKill.h"
#include "system/RunNames.h"
#include "system/SystemError.h"

#include <algorithm>

MachineOperations::MachineOperations(InstallRequest& request, InstallProgress& progress, LogSink& log, std::wstring tag)
    : request_(request),
      progress_(progress),
      log_(log),
      tag_(std::move(tag)),
      areas_(request.dir, std::move(request.folder)),
      files_(areas_, tag_),
      registry_(request.dir, InstalledSizeKib(), request.choice) {}

Situation MachineOperations::Look() {
    Situation situation = areas_.Look();
    for (Spot& spot : situation.left) {
        UniqueHandle file;
        std::vector<JournalValue> values;
        spot.refused = Settles(spot) && ParseRunName(NameOf(spot.path)).kind == RunNameKind::Journal &&
                       !ReadJournal(spot.path, file, values).empty();
    }
    for (const MadeFolder& made : request_.made)
        situation.made.push_back(made.first.Path() + L"\\" + made.second);
    situation.desktop = request_.desktop;
    situation.group = request_.group;
    return situation;
}

void MachineOperations::Do(const Action& action) {
    switch (action.step) {
        case Step::Status:
            progress_.ShowStatus(action.path, action.index != 0);
            break;
        case Step::ProgressMax:
            progress_.SetProgressMax(action.index);
            break;
        case Step::Advance:
            progress_.AdvanceProgress(action.index);
            break;
        case Step::Note:
        case Step::Made:
        case Step::StartPage:
            break;
        case Step::MakeFolder:
            MakeFolder(action);
            break;
        case Step::EndProgram: {
            DWORD error = 0;
            EndInstalledCopies(action.path, areas_.Folder(Area::Tree, L"", error), log_);
            break;
        }
        case Step::Discard:
            Discard(action);
            break;
        case Step::PutBack:
            PutBackLeft(areas_, action.area, action.path);
            break;
        case Step::Restore:
        case Step::SetAside: {
            // Judged again as it is settled, through the handle that settles it.
            UniqueHandle file;
            std::vector<JournalValue> values;
            const std::wstring refusal = ReadJournal(action.path, file, values);
            if (action.step == Step::Restore && refusal.empty()) {
                RestoreJournal(values);
                DeleteHeld(file.get());
                break;
            }
            // Renamed out of the runs' names, through the handle that read it,
            // or one to whatever stands at its name where it could not be read.
            log_.Line({L"未使用此日志，注册表未按它恢复：", refusal});
            DWORD error = 0;
            const HeldFolder& root = areas_.Folder(Area::Tree, L"", error);
            if (!file)
                file = root.OpenExisting(NameOf(action.path), error, true);
            if (!file || !root.MoveHere(file.get(), NameOf(action.path) + L".refused", error))
                log_.Line({L"未能移开，留待下次安装：", SystemErrorText(error)});
            break;
        }
        case Step::Journal: {
            DWORD error = 0;
            registry_.Journal(areas_.Folder(Area::Tree, L"", error), JournalName(tag_));
            break;
        }
        case Step::Hold:
            files_.Hold(action.area, action.path);
            break;
        case Step::Copy: {
            const EmbeddedResource container(PayloadResourceType(action.path).c_str(), action.path);
            if (!scratch_)
                scratch_ = std::make_unique<ScratchFolder>(request_.tempDir);
            copies_[action.index] =
                scratch_->WriteCopy(PayloadFileName(action.path), container.Data(), container.Size());
            break;
        }
        case Step::Write:
            Write(action);
            break;
        case Step::Place:
            files_.Place(action.area, action.path);
            break;
        case Step::SetValue:
            SetValue(action);
            break;
        case Step::Finish:
            Finish();
            break;
    }
}

void MachineOperations::Undo(const Action& action) {
    switch (action.step) {
        case Step::Made:
            // Innermost first; nothing of the run may hold a folder that goes.
            areas_.Release();
            for (MadeFolder& made : request_.made)
                if (made.first && made.first.Path() + L"\\" + made.second == action.path)
                    RemoveMade(made);
            break;
        case Step::MakeFolder:
            areas_.RemoveMade(action.area, action.path);
            break;
        case Step::Journal:
            registry_.DropJournal();
            break;
        case Step::Hold:
            files_.LetGo(action.area, action.path);
            break;
        case Step::Copy:
            copies_[action.index].reset();
            break;
        case Step::Write:
            files_.Drop(action.area, action.path);
            break;
        case Step::Place:
            files_.Unplace(action.area, action.path);
            break;
        case Step::SetValue:
            registry_.Unset(action.index);
            break;
        default:
            break;
    }
}

void MachineOperations::MakeFolder(const Action& action) {
    DWORD error = 0;
    // Every folder of the tree is part of the product, kept empty or not.
    if (!areas_.Make(action.area, action.path, error))
        Raise(IoErrorMessage(error == ERROR_DIRECTORY ? ERROR_ALREADY_EXISTS : error), error);
}

void MachineOperations::SetValue(const Action& action) {
    try {
        registry_.Set(action.index);
    } catch (...) {
        // A key that the write made goes again; an undo that fails is logged,
        // as the executor logs its own, and the write's failure goes on.
        try {
            registry_.Unset(action.index);
        } catch (...) {
            log_.Line({L"撤销失败：", Describe(action, areas_.Paths()), L"：", CurrentErrorText(true)});
        }
        throw;
    }
}

void MachineOperations::Write(const Action& action) {
    if (action.index < static_cast<int>(Product::kFileCount)) {
        files_.Write(action.area, action.path, [&](HANDLE file) { DecompressFile(copies_[action.index].get(), file); });
        // The temporary copy goes as soon as it is read.
        copies_[action.index].reset();
        return;
    }
    const Product::Shortcut& shortcut = Product::kShortcuts[action.index - Product::kFileCount];
    const std::vector<unsigned char> bytes =
        ShortcutFile(request_.link, request_.persist, FormatText(L"%1\\%2", {request_.dir, shortcut.target}),
                     request_.dir, shortcut.description, L"");
    files_.Write(action.area, action.path, [&](HANDLE file) { WriteAll(file, bytes.data(), bytes.size()); });
}

void MachineOperations::Discard(const Action& action) {
    const RunName name = ParseRunName(NameOf(action.path));
    // A run's marker stays while a file it kept aside does: it tells the
    // next run that the file is to go, not to come back.
    if (name.kind == RunNameKind::Done &&
        std::find(unfinished_.begin(), unfinished_.end(), name.tag) != unfinished_.end())
        return;
    if (const DWORD error = DiscardLeft(areas_, action.area, action.path)) {
        unfinished_.push_back(name.tag);
        log_.Line({L"未能删除，留待下次安装删除：", SystemErrorText(error)});
    }
}

std::wstring MachineOperations::ReadJournal(const std::wstring& path,
                                            UniqueHandle& file,
                                            std::vector<JournalValue>& values) {
    DWORD error = 0;
    return ReadLeftJournal(areas_.Folder(Area::Tree, L"", error), NameOf(path), file, values);
}

void MachineOperations::Finish() {
    // The values on the disk first: the marker says that the run changed
    // everything it was to change.
    registry_.Flush();
    DWORD error = 0;
    const HeldFolder& root = areas_.Folder(Area::Tree, L"", error);
    const UniqueHandle marker = root ? root.CreateNewFile(DoneName(tag_), error) : UniqueHandle();
    const FilePlaces::Kept kept = files_.RemoveKept();
    registry_.DropJournal();
    // A kept file that a running program maps goes when the system restarts,
    // and the marker after it; where that cannot be arranged, the marker
    // stays, and the next run removes what is left.
    if (marker && kept == FilePlaces::Kept::Gone)
        DeleteHeld(marker.get());
    else if (marker && kept == FilePlaces::Kept::AtRestart)
        MoveFileExW((request_.dir + L"\\" + DoneName(tag_)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    scratch_.reset();
}
