#include "system/FileTransaction.h"

#include "system/Error.h"
#include "system/FileHolders.h"
#include "system/Files.h"
#include "system/RunNames.h"

#include <algorithm>

namespace {

[[noreturn]] void CannotCreate(const std::wstring& path, DWORD error) {
    std::wstring message = FileErrorMessage(L"Cannot create file", path, error);
    if (error == ERROR_SHARING_VIOLATION) {
        const std::wstring holders = ProgramsHolding(path);
        if (!holders.empty())
            message += L". In use by " + holders;
    }
    throw Error(message);
}

}  // namespace

void FileTransaction::Made(const HeldFolder& parent, const std::wstring& name) {
    made_.emplace_back(parent.Duplicate(), name);
}

std::size_t FileTransaction::Hold(HeldFolder folder, std::wstring path, DWORD folderError) {
    UniqueHandle old;
    if (folder) {
        old = folder.OpenExisting(path.substr(path.rfind(L'\\') + 1), folderError);
        if (!old && folderError != ERROR_FILE_NOT_FOUND)
            CannotCreate(path, folderError);
    }
    places_.push_back({std::move(folder), std::move(path), folderError, std::move(old), UniqueHandle(), Stage::Held});
    return places_.size() - 1;
}

void FileTransaction::Write(std::size_t number, const void* data, std::size_t size) {
    Place& place = places_[number];
    DWORD error = place.folderError;
    if (place.folder)
        place.written = place.folder.CreateNewFile(NewName(place.Name(), tag_), error);
    if (!place.written)
        CannotCreate(place.path, error);
    try {
        WriteAll(place.written.get(), data, size);
    } catch (...) {
        DeleteHeld(place.written.get());
        place.written.reset();
        throw;
    }
    place.stage = Stage::Written;
}

void FileTransaction::Commit() {
    for (Place& place : places_) {
        if (place.stage != Stage::Written)
            continue;
        DWORD error = 0;
        if (place.old && !place.folder.MoveHere(place.old.get(), OldName(place.Name(), tag_), error))
            CannotCreate(place.path, error);
        place.stage = Stage::OldAside;
        if (!place.folder.MoveHere(place.written.get(), place.Name(), error))
            CannotCreate(place.path, error);
        place.stage = Stage::Placed;
    }
}

void FileTransaction::Finish(const HeldFolder& installFolder, const std::wstring& dir) {
    // Once the marker stands, a run ended from here on is finished by the
    // next one, not undone: the new files are all in place.
    DWORD error = 0;
    const UniqueHandle marker = installFolder.CreateNewFile(DoneName(tag_), error);
    // A kept file that a running program maps goes when the system restarts,
    // and the marker after it; where that cannot be arranged, the marker
    // stays, and the next run removes what is left.
    bool pending = false, delayed = true;
    for (Place& place : places_) {
        if (place.stage == Stage::Placed && place.old && !DeleteHeld(place.old.get())) {
            pending = true;
            delayed = MoveFileExW(OldName(place.path, tag_).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) && delayed;
        }
    }
    if (marker && !pending)
        DeleteHeld(marker.get());
    else if (marker && delayed)
        MoveFileExW((dir + L"\\" + DoneName(tag_)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    places_.clear();
    made_.clear();
}

void FileTransaction::Undo() noexcept {
    for (auto place = places_.rbegin(); place != places_.rend(); ++place) {
        DWORD error = 0;
        if (place->stage == Stage::Placed) {
            DeleteHeld(place->written.get());
            place->written.reset();
        }
        if (place->stage >= Stage::OldAside && place->old)
            place->folder.MoveHere(place->old.get(), place->Name(), error);
        if (place->written)
            DeleteHeld(place->written.get());
    }
    places_.clear();
    // Innermost first; each is opened to go only now, when nothing of the
    // run holds it any more.
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
        DeleteHeld(made->first.FolderToDelete(made->second).get());
        made->first = HeldFolder();
    }
    made_.clear();
}

FileTransaction::Settled FileTransaction::Settle(const std::vector<HeldFolder>& product,
                                                 const std::vector<HeldFolder>& loose) {
    Settled settled = Settled::Nothing;
    std::vector<std::wstring> done, unfinished;
    for (const std::wstring& name : product.front().Names())
        if (const RunName parsed = ParseRunName(name); parsed.kind == RunNameKind::Done)
            done.push_back(parsed.tag);
    const auto settle = [&](const HeldFolder& folder, bool byMarker) {
        for (const std::wstring& name : folder.Names()) {
            const RunName parsed = ParseRunName(name);
            DWORD error = 0;
            const UniqueHandle file = parsed.kind == RunNameKind::New || parsed.kind == RunNameKind::Old
                                          ? folder.OpenExisting(name, error)
                                          : UniqueHandle();
            if (!file)
                continue;
            UniqueHandle standing = folder.OpenExisting(parsed.original, error);
            const bool finished =
                byMarker ? std::find(done.begin(), done.end(), parsed.tag) != done.end() : static_cast<bool>(standing);
            if (parsed.kind == RunNameKind::Old && finished) {
                // Still mapped by a running program: the next run tries again.
                if (!DeleteHeld(file.get()))
                    unfinished.push_back(parsed.tag);
                settled = std::max(settled, Settled::Finished);
                continue;
            }
            if (parsed.kind == RunNameKind::Old) {
                if (standing)
                    DeleteHeld(standing.get());
                standing.reset();
                folder.MoveHere(file.get(), parsed.original, error);
            } else {
                DeleteHeld(file.get());
            }
            settled = Settled::Undone;
        }
    };
    for (const HeldFolder& folder : product)
        if (folder)
            settle(folder, true);
    for (const HeldFolder& folder : loose)
        settle(folder, false);
    for (const std::wstring& tag : done) {
        DWORD error = 0;
        const UniqueHandle marker = product.front().OpenExisting(DoneName(tag), error);
        if (marker && std::find(unfinished.begin(), unfinished.end(), tag) == unfinished.end())
            DeleteHeld(marker.get());
    }
    return settled;
}
