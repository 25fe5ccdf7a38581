#include "install/FilePlaces.h"

#include "system/Error.h"
#include "system/FileHolders.h"
#include "system/Files.h"
#include "system/RunNames.h"

FilePlaces::Entry& FilePlaces::At(Area area, const std::wstring& path) {
    for (Entry& entry : entries_)
        if (entry.area == area && entry.path == path)
            return entry;
    entries_.push_back({area, path, UniqueHandle(), UniqueHandle(), false});
    return entries_.back();
}

std::wstring FilePlaces::FullPath(Area area, const std::wstring& path) const {
    return areas_.Paths()[static_cast<int>(area)] + path;
}

void FilePlaces::Fail(Area area, const std::wstring& path, DWORD error) const {
    const std::wstring full = FullPath(area, path);
    std::wstring message = FileErrorMessage(L"Cannot create file", full, error);
    if (error == ERROR_SHARING_VIOLATION) {
        const std::wstring holders = ProgramsHolding(full);
        if (!holders.empty())
            message += L". In use by " + holders;
    }
    Raise(std::move(message), error);
}

void FilePlaces::Hold(Area area, const std::wstring& path) {
    DWORD error = 0;
    UniqueHandle old;
    if (const HeldFolder& folder = areas_.Folder(area, ParentOf(path), error))
        old = folder.OpenExisting(NameOf(path), error);
    if (!old && error != ERROR_FILE_NOT_FOUND)
        Fail(area, path, error);
    At(area, path).old = std::move(old);
}

void FilePlaces::LetGo(Area area, const std::wstring& path) {
    At(area, path).old.reset();
}

HANDLE FilePlaces::Create(Area area, const std::wstring& path) {
    DWORD error = 0;
    Entry& entry = At(area, path);
    if (const HeldFolder& folder = areas_.Folder(area, ParentOf(path), error))
        entry.written = folder.CreateNewFile(NewName(NameOf(path), tag_), error);
    if (!entry.written)
        Fail(area, path, error);
    return entry.written.get();
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

void FilePlaces::Place(Area area, const std::wstring& path) {
    Entry& entry = At(area, path);
    DWORD error = 0;
    const HeldFolder& folder = areas_.Folder(area, ParentOf(path), error);
    const std::wstring name = NameOf(path);
    if (entry.old && !folder.MoveHere(entry.old.get(), OldName(name, tag_), error))
        Fail(area, path, error);
    if (!folder.MoveHere(entry.written.get(), name, error)) {
        if (entry.old)
            folder.MoveHere(entry.old.get(), name, error);
        Fail(area, path, error);
    }
    entry.placed = true;
}

void FilePlaces::Unplace(Area area, const std::wstring& path) {
    Entry& entry = At(area, path);
    DWORD error = 0;
    const HeldFolder& folder = areas_.Folder(area, ParentOf(path), error);
    Drop(area, path);
    entry.placed = false;
    if (entry.old && !folder.MoveHere(entry.old.get(), NameOf(path), error))
        Raise(FileErrorMessage(L"Cannot create file", FullPath(area, path), error), error);
}

FilePlaces::Kept FilePlaces::RemoveKept() {
    Kept kept = Kept::Gone;
    for (Entry& entry : entries_) {
        if (!entry.placed || !entry.old || DeleteHeld(entry.old.get()))
            continue;
        // Mapped by a running program: it goes when the system restarts.
        if (!MoveFileExW(OldName(FullPath(entry.area, entry.path), tag_).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            kept = Kept::Waiting;
        else if (kept == Kept::Gone)
            kept = Kept::AtRestart;
    }
    entries_.clear();
    return kept;
}

DWORD DiscardLeft(Areas& areas, Area area, const std::wstring& path) {
    DWORD error = 0;
    const HeldFolder& folder = areas.Folder(area, ParentOf(path), error);
    const UniqueHandle file = folder ? folder.OpenExisting(NameOf(path), error) : UniqueHandle();
    if (file)
        return DeleteHeld(file.get()) ? 0 : ERROR_ACCESS_DENIED;
    // Gone already is gone; one that cannot be opened is still there.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
}

void PutBackLeft(Areas& areas, Area area, const std::wstring& path) {
    DWORD error = 0;
    const RunName name = ParseRunName(NameOf(path));
    const HeldFolder& folder = areas.Folder(area, ParentOf(path), error);
    const UniqueHandle kept = folder ? folder.OpenExisting(NameOf(path), error) : UniqueHandle();
    UniqueHandle standing = kept ? folder.OpenExisting(name.original, error) : UniqueHandle();
    // What stands at the name goes first; one that cannot (a running program
    // maps it) keeps the name, and the kept file waits for the next run.
    if (kept && (!standing || DeleteHeld(standing.get()))) {
        standing.reset();
        if (folder.MoveHere(kept.get(), name.original, error))
            return;
    }
    const std::wstring full = areas.Paths()[static_cast<int>(area)] + ParentOf(path) + L"\\" + name.original;
    Raise(FileErrorMessage(L"Cannot create file", full, error ? error : ERROR_SHARING_VIOLATION),
          error ? error : ERROR_SHARING_VIOLATION);
}
