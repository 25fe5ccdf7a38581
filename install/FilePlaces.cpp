#include "install/FilePlaces.h"

#include "install/Texts.h"
#include "system/Error.h"
#include "system/FileHolders.h"
#include "system/Files.h"
#include "system/MessageText.h"
#include "system/RunNames.h"

FilePlaces::Entry& FilePlaces::At(Area area, const std::wstring& path) {
    for (Entry& entry : entries_)
        if (entry.area == area && entry.path == path)
            return entry;
    entries_.push_back({area, path, UniqueHandle(), UniqueHandle(), false, false});
    return entries_.back();
}

std::wstring FilePlaces::FullPath(Area area, const std::wstring& path) const {
    return areas_.Paths()[static_cast<int>(area)] + path;
}

void FilePlaces::Fail(Area area, const std::wstring& path, DWORD error) const {
    const std::wstring full = FullPath(area, path);
    const std::wstring holders = error == ERROR_SHARING_VIOLATION ? ProgramsHolding(full) : std::wstring();
    RaiseCannotCreate(full, error, holders.empty() ? std::wstring() : FormatText(kInUseByText, {holders}));
}

void FilePlaces::Hold(Area area, const std::wstring& path, bool leaveElsewhere) {
    Opened old = areas_.Folder(area, ParentOf(path)).OpenExisting(NameOf(path));
    Entry& entry = At(area, path);
    entry.elsewhere = leaveElsewhere && (old.error == ERROR_CANT_RESOLVE_FILENAME ||
                                         (area == Area::Kept && old.error == ERROR_SHARING_VIOLATION));
    if (!old && old.error != ERROR_FILE_NOT_FOUND && !entry.elsewhere)
        Fail(area, path, old.error);
    entry.old = std::move(old.file);
}

void FilePlaces::LetGo(Area area, const std::wstring& path) {
    At(area, path).old.reset();
}

HANDLE FilePlaces::Create(Area area, const std::wstring& path) {
    Opened written = areas_.Folder(area, ParentOf(path)).CreateNewFile(NewName(NameOf(path), tag_));
    if (!written)
        Fail(area, path, written.error);
    return (At(area, path).written = std::move(written.file)).get();
}

void FilePlaces::Flush(Area area, const std::wstring& path) {
    // On the disk before any file takes a name: after a power cut a file
    // under its name has its bytes, not just its length.
    if (!FlushFileBuffers(At(area, path).written.get()))
        Fail(area, path, GetLastError());
}

void FilePlaces::Drop(Area area, const std::wstring& path) {
    Entry& entry = At(area, path);
    if (entry.written)
        DeleteHeld(entry.written.get());
    entry.written.reset();
}

bool FilePlaces::Place(Area area, const std::wstring& path) {
    Entry& entry = At(area, path);
    if (entry.elsewhere)
        return false;
    const HeldFolder& folder = areas_.Folder(area, ParentOf(path));
    const std::wstring name = NameOf(path);
    if (const DWORD error = entry.old ? folder.MoveHere(entry.old.get(), OldName(name, tag_)) : 0)
        Fail(area, path, error);
    if (const DWORD error = entry.written ? folder.MoveHere(entry.written.get(), name) : 0) {
        if (entry.old)
            folder.MoveHere(entry.old.get(), name);
        Fail(area, path, error);
    }
    entry.placed = true;
    return true;
}

void FilePlaces::Unplace(Area area, const std::wstring& path) {
    Entry& entry = At(area, path);
    const HeldFolder& folder = areas_.Folder(area, ParentOf(path));
    Drop(area, path);
    entry.placed = false;
    if (const DWORD error = entry.old ? folder.MoveHere(entry.old.get(), NameOf(path)) : 0)
        RaiseCannotCreate(FullPath(area, path), error);
}

std::vector<std::wstring> FilePlaces::RemoveKept() {
    std::vector<std::wstring> mapped;
    for (Entry& entry : entries_)
        if (entry.placed && entry.old && !DeleteHeld(entry.old.get()))
            mapped.push_back(OldName(FullPath(entry.area, entry.path), tag_));
    entries_.clear();
    return mapped;
}

DWORD DiscardLeft(Areas& areas, Area area, const std::wstring& path) {
    const Opened file = areas.Folder(area, ParentOf(path)).OpenExisting(NameOf(path));
    if (file)
        return DeleteHeld(file.file.get()) ? 0 : ERROR_ACCESS_DENIED;
    // Gone already is gone; one that cannot be opened is still there.
    return file.error == ERROR_FILE_NOT_FOUND || file.error == ERROR_PATH_NOT_FOUND ? 0 : file.error;
}

void PutBackLeft(Areas& areas, Area area, const std::wstring& path) {
    const RunName name = ParseRunName(NameOf(path));
    const HeldFolder& folder = areas.Folder(area, ParentOf(path));
    const Opened kept = folder.OpenExisting(NameOf(path));
    // What stands at the name goes first; one that cannot (a running program
    // maps it) keeps the name, and the kept file waits for the next run.
    DWORD error = kept.error;
    if (kept) {
        Opened standing = folder.OpenExisting(name.original);
        error = standing && !DeleteHeld(standing.file.get()) ? ERROR_SHARING_VIOLATION : 0;
        standing.file.reset();
        if (!error && !(error = folder.MoveHere(kept.file.get(), name.original)))
            return;
    }
    const std::wstring full = areas.Paths()[static_cast<int>(area)] + ParentOf(path) + L"\\" + name.original;
    RaiseCannotCreate(full, error);
}
