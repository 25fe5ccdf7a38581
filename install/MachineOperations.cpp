#include "install/MachineOperations.h"

#include "install/PathRules.h"
#include "install/RunningPrograms.h"
#include "install/Texts.h"
#include "payload/Catalogue.h"
#include "payload/InstalledSize.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Files.h"
#include "system/FolderSecurity.h"
#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/Reg.h"
#include "system/Registration.h"
#include "system/Restart.h"
#include "system/RunNames.h"
#include "system/SystemError.h"

#include <algorithm>
#include <iterator>

namespace {

// The file at the path (with none, the running program's): for its
// attributes only, which clashes with no holder's sharing, or to be read,
// shared with readers only.
UniqueHandle FileAt(const wchar_t* path, bool read = false) {
    wchar_t own[MAX_PATH];
    const DWORD length = path ? 0 : GetModuleFileNameW(nullptr, own, MAX_PATH);
    if (!path && (!length || length == MAX_PATH))
        return UniqueHandle();
    return UniqueHandle(CreateFileW(path ? path : own, read ? GENERIC_READ : FILE_READ_ATTRIBUTES,
                                    read ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

MachineOperations::MachineOperations(InstallRequest& request, InstallProgress& progress, LogSink& log, std::wstring tag)
    : MachineSteps(this),
      request_(request),
      progress_(progress),
      log_(log),
      tag_(std::move(tag)),
      areas_(request.folder.path, std::move(request.folder.held), std::move(request.folder.above)),
      files_(areas_, tag_),
      registry_(request.folder.path,
                InstalledSizeKib(),
                request.shortcutsText,
                request.folder.madeAbove,
                ParentOf(areas_.Paths()[static_cast<int>(Area::Kept)]),
                request.shortcuts.Makes(Product::LinkPlace::Desktop) ||
                    request.shortcuts.Makes(Product::LinkPlace::StartMenu),
                request.folder.moving) {}

Situation MachineOperations::Look() {
    // The kept installer's folder is judged as the install folder is: the
    // entry's removal runs what lies there with administrator rights. One
    // that another account could change, or a link in its place, is refused
    // before anything changes; where it is missing, so is a Program Files
    // that it would be made in, as the folder that an install folder is made in.
    const std::wstring& keptFolder = areas_.Paths()[static_cast<int>(Area::Kept)];
    const HeldFolder& kept = areas_.Folder(Area::Kept, L"");
    if (kept ? JudgeHeldFolder(kept, keptFolder).risk != FolderRisk::None
             : kept.Error() == ERROR_CANT_RESOLVE_FILENAME ||
                   JudgeHeldFolder(areas_.ProgramFiles(), ParentOf(keptFolder), true).risk != FolderRisk::None)
        Raise(FormatText(kKeptFolderUnsafeText, {keptFolder}));
    Situation situation = areas_.Look();
    const UniqueHandle running = FileAt(nullptr);
    situation.keptRunning = keptRunning_ =
        running && SameFile(running.get(), FileAt((keptFolder + kKeptInstaller).c_str()).get());
    for (Spot& spot : situation.left) {
        UniqueHandle file;
        std::vector<JournalValue> values;
        spot.refused = Settles(spot) && ParseRunName(NameOf(spot.path)).kind == RunNameKind::Journal &&
                       !ReadJournal(spot.path, file, values).empty();
    }
    situation.shortcuts = request_.shortcuts;
    situation.moving = request_.folder.moving;
    // Those that stand as folders of their own, reached through no link.
    for (const std::wstring& folder : FoldersBetween(request_.folder.path, request_.folder.madeAbove))
        if (HeldFolder::OpenWithoutLinks(folder))
            situation.madeAbove.push_back(folder);
    return situation;
}

std::wstring MachineOperations::Describe(const Action& action) const {
    // Leftovers that could not go are not said to be gone.
    if (action.step == Step::Note)
        return unfinished_.empty() || action.path != kEarlierRunFinished ? action.path : kEarlierRunLeftFilesNote;
    return Row(action.step).verb + areas_.Paths()[static_cast<int>(action.area)] + action.path;
}

void MachineOperations::ClosePrograms(const Action& action, bool undo) {
    if (undo) {
        for (const auto& [closing, copies] : closed_)
            if (closing == &action)
                StartBrowsers(copies);
        return;
    }
    std::vector<ClosedCopy>& closed = closed_.emplace_back(&action, std::vector<ClosedCopy>()).second;
    try {
        CloseRunningPrograms(areas_.Folder(action.area, L""), request_.closing, progress_, log_, closed);
    } catch (...) {
        // The run stops, nothing changed: what it closed comes back.
        StartBrowsers(closed);
        throw;
    }
}

bool MachineOperations::StartBrowsers(const std::vector<ClosedCopy>& copies) {
    if (copies.empty() || !request_.restart || request_.removing)
        return false;
    return ::StartAgain(copies, request_.folder.path + L"\\" ZARVO_BROWSER_FILE, log_);
}

void MachineOperations::StartAgain(const Action&, bool) {
    std::vector<ClosedCopy> all;
    // One copy at a time: the vector's range insert would be code of its own.
    for (const auto& [closing, copies] : closed_)
        for (const ClosedCopy& copy : copies)
            all.push_back(copy);
    request_.browserStarted = StartBrowsers(all);
}

void MachineOperations::PutBack(const Action& action, bool) {
    PutBackLeft(areas_, action.area, action.path);
}

void MachineOperations::Restore(const Action& action, bool) {
    // Judged again as it is settled, through the handle that settles it.
    UniqueHandle file;
    std::vector<JournalValue> values;
    if (!ReadJournal(action.path, file, values).empty()) {
        file.reset();
        return SetAside(action, false);
    }
    RestoreJournal(values);
    DeleteHeld(file.get());
}

void MachineOperations::SetAside(const Action& action, bool) {
    // Renamed out of the runs' names, through the handle that read it, or one
    // to whatever stands at its name where it could not be read.
    UniqueHandle file;
    std::vector<JournalValue> values;
    log_.Line({kJournalNotUsedLine, ReadJournal(action.path, file, values)});
    const HeldFolder& root = areas_.Folder(Area::Tree, L"");
    const std::wstring name = NameOf(action.path);
    Opened aside{std::move(file)};
    if (!aside)
        aside = root.OpenExisting(name, true);
    if (const DWORD error = aside ? root.MoveHere(aside.file.get(), name + L".refused") : aside.error)
        log_.Line({kNotSetAsideLine, SystemErrorText(error)});
}

void MachineOperations::Journal(const Action& action, bool undo) {
    const HeldFolder& folder = areas_.Folder(Area::Tree, L"");
    if (undo)
        registry_.DropJournal();
    else
        // A removal whose folder is gone keeps no journal.
        registry_.Journal(folder || !action.deleting ? &folder : nullptr, JournalName(tag_), action.deleting,
                          action.deleting || request_.command == ShellCommand::Reinstall || request_.folder.moving);
}

void MachineOperations::Hold(const Action& action, bool undo) {
    if (undo)
        files_.LetGo(action.area, action.path);
    else
        // The kept installer held without sharing is left to the package
        // only where the package runs it: held by any other program, it stops
        // the removal as a product file does.
        files_.Hold(action.area, action.path,
                    request_.command == ShellCommand::HideIcons ||
                        (request_.removing && (action.area != Area::Kept || keptRunning_)));
}

void MachineOperations::Place(const Action& action, bool undo) {
    if (undo)
        files_.Unplace(action.area, action.path);
    else if (!files_.Place(action.area, action.path))
        // A link that leads elsewhere keeps its name, and what it leads to
        // stays untouched: neither is the product's to remove. The kept
        // installer that another program holds is that program's to remove.
        log_.Line(action.area == Area::Kept ? kKeptInstallerHeldLine : kLinkKeptLine);
}

void MachineOperations::Remove(const Action& action, bool undo) {
    // Placed with no new file written, the held one is only kept aside until
    // the run is done; undone, it gets its name back.
    Place(action, undo);
}

void MachineOperations::Copy(const Action& action, bool undo) {
    UniqueHandle& copy = copies_[action.file - Product::kFiles];
    if (undo) {
        copy.reset();
        return;
    }
    const EmbeddedResource container(PayloadResourceType(action.path).c_str(), action.path);
    if (!scratch_)
        scratch_ = std::make_unique<ScratchFolder>(request_.tempDir);
    copy = scratch_->WriteCopy(PayloadFileName(action.path), container.Data(), container.Size());
}

void MachineOperations::MakeFolder(const Action& action, bool undo) {
    if (undo) {
        areas_.Remove(action.area, action.path, true);
        return;
    }
    areas_.Make(action.area, action.path);
}

void MachineOperations::SetValue(const Action& action, bool undo) {
    ChangeValue(action, undo, &RegistryValues::Write);
}

void MachineOperations::DeleteValue(const Action& action, bool undo) {
    ChangeValue(action, undo, &RegistryValues::Delete);
}

void MachineOperations::ChangeValue(const Action& action, bool undo, void (RegistryValues::*change)(int)) {
    const int index = static_cast<int>(action.value - Product::kValues);
    if (undo) {
        registry_.Unset(index);
        return;
    }
    try {
        (registry_.*change)(index);
    } catch (...) {
        // A key that the write made goes again; an undo that fails is logged,
        // as the executor logs its own, and the write's failure goes on.
        try {
            registry_.Unset(index);
        } catch (...) {
            log_.Line(FormatText(kUndoFailedLine, {Describe(action), CurrentErrorText(true)}));
        }
        throw;
    }
}

void MachineOperations::Write(const Action& action, bool undo) {
    if (undo) {
        files_.Drop(action.area, action.path);
        return;
    }
    if (action.area == Area::Kept) {
        // The running installer's own bytes, its file shared with readers
        // only while they are read, so that nothing changes it meanwhile; in
        // pieces, as it carries the product, which would otherwise weigh on
        // the memory as much as the download does.
        const UniqueHandle own = FileAt(nullptr, true);
        if (!own)
            RaiseSystemError(GetLastError());
        std::vector<unsigned char> piece(64 * 1024);
        files_.Write(action.area, action.path, [&](HANDLE file) {
            for (DWORD read = 1; read;) {
                if (!ReadFile(own.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr))
                    RaiseSystemError(GetLastError());
                WriteAll(file, piece.data(), read);
            }
        });
        return;
    }
    if (action.file) {
        UniqueHandle& copy = copies_[action.file - Product::kFiles];
        files_.Write(action.area, action.path, [&](HANDLE file) { DecompressFile(copy.get(), file); });
        // The temporary copy goes as soon as it is read.
        copy.reset();
        return;
    }
    const Product::Shortcut& shortcut = *action.shortcut;
    const std::vector<unsigned char> bytes =
        CreateShortcut(request_.link, request_.persist, FormatText(L"%1\\%2", {request_.folder.path, shortcut.target}),
                       request_.folder.path, shortcut.description, L"");
    files_.Write(action.area, action.path, [&](HANDLE file) { WriteAll(file, bytes.data(), bytes.size()); });
}

void MachineOperations::Discard(const Action& action, bool) {
    const RunName name = ParseRunName(NameOf(action.path));
    // A run's marker stays while a file it kept aside does: it tells the
    // next run that the file is to go, not to come back.
    // Const iterators, as in every search of texts here: one copy of std::find.
    if (name.kind == RunNameKind::Done &&
        std::find(unfinished_.cbegin(), unfinished_.cend(), name.tag) != unfinished_.cend())
        return;
    if (const DWORD error = DiscardLeft(areas_, action.area, action.path)) {
        unfinished_.push_back(name.tag);
        log_.Line({kLeftForNextInstallLine, SystemErrorText(error)});
    }
}

std::wstring MachineOperations::ReadJournal(const std::wstring& path,
                                            UniqueHandle& file,
                                            std::vector<JournalValue>& values) {
    return ReadLeftJournal(areas_.Folder(Area::Tree, L""), NameOf(path), file, values);
}

void MachineOperations::Finish(const Action&, bool) {
    // The values on the disk first: the marker says that the run changed
    // everything it was to change.
    registry_.Flush();
    Opened marker = areas_.Folder(Area::Tree, L"").CreateNewFile(DoneName(tag_));
    mapped_ = files_.RemoveKept();
    registry_.DropJournal();
    // The marker stays while a kept file does: it tells the next run that the
    // file is to go, not to come back. The kept installer, the run's last
    // place, needs none where it still runs (the removal's own program):
    // nothing of the run is left in the install folder, which the removal
    // may then remove; its folder goes at restart after it.
    const std::wstring& keptFolder = areas_.Paths()[static_cast<int>(Area::Kept)];
    const bool keptWaits = !mapped_.empty() && mapped_.back().compare(0, keptFolder.size(), keptFolder) == 0 &&
                           mapped_.back().find(kKeptInstaller) == keptFolder.size();
    const bool waits = mapped_.size() > keptWaits;
    if (keptWaits && request_.removing)
        mapped_.push_back(keptFolder);
    marked_ = marker && waits;
    if (marker && !waits && request_.removing)
        marker_ = std::move(marker.file);
    else if (marker && !waits)
        DeleteHeld(marker.file.get());
    scratch_.reset();
}

void MachineOperations::AtRestart(const Action&, bool) {
    // A kept file that a running program maps goes when the system restarts,
    // and the marker after it, last; where that cannot be arranged for one,
    // the marker stays, and the next run removes what is left.
    if (marked_)
        mapped_.push_back(request_.folder.path + L"\\" + DoneName(tag_));
    bool all = true;
    for (std::size_t i = 0; i < mapped_.size() && (all || !marked_ || i + 1 < mapped_.size()); ++i) {
        const bool set = MoveFileExW(mapped_[i].c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        log_.Line({set ? kDeletedAtRestartLine : kLeftForNextInstallLine, mapped_[i]});
        all = all && set;
    }
}

void MachineOperations::Forget(const Action&, bool) {
    // Past the end there is nothing to undo. While an earlier run's leftover
    // stays (and with it that run's marker), the product stays found, and
    // the next removal finishes.
    if (!unfinished_.empty()) {
        log_.Line(kEntryKeptLine);
        return;
    }
    try {
        for (const Product::Value& value : Product::kValues)
            if (Product::LocatesProduct(value))
                registry_.Delete(static_cast<int>(&value - Product::kValues));
        registry_.Flush();
    } catch (...) {
        log_.Line({kLeftForNextRemovalLine, CurrentErrorText(true)});
    }
}

void MachineOperations::RemoveFolder(const Action& action, bool) {
    // The run's marker goes just before the install folder; an earlier run's
    // that stays with its leftover keeps the product found.
    if (action.area == Area::Tree && action.path.empty() && marker_) {
        DeleteHeld(marker_.get());
        marker_.reset();
    }
    // A folder above the install folder has no area; one of the product is
    // below one.
    if (!(action.area == Area::None ? areas_.RemoveAbove(action.path) : areas_.Remove(action.area, action.path, false)))
        log_.Line(kKeptNotEmptyLine);
}

void MachineOperations::RemoveKey(const Action& action, bool) {
    if (!RegRemoveEmptyKey(HKEY_LOCAL_MACHINE, action.path))
        log_.Line(kKeptNotEmptyLine);
}
