#pragma once

#include "system/HeldFolder.h"

#include <cstddef>
#include <string>
#include <vector>

// The files that one installation puts in place, all of them or none. Each new
// file is written in full beside its place under a name of the run's own; the
// file it replaces is held from the start, so that no other program can take
// it without sharing meanwhile, and is kept under another name of the run's
// own once the new one has its name. Until Finish, Undo (or the end of the
// object) puts every name back as it was and removes the folders the run
// made. A run ended abruptly leaves its names for the next one to settle,
// which tells the two moments apart by a marker that Finish leaves in the
// install folder before the kept files go.
class FileTransaction {
  public:
    // The tag that the run's names carry (system/RunNames.h).
    explicit FileTransaction(std::wstring tag) : tag_(std::move(tag)) {}
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;
    ~FileTransaction() { Undo(); }

    // A folder that the run made below `parent`, removed again by Undo.
    void Made(const HeldFolder& parent, const std::wstring& name);

    // Takes a place: the file at `path`, whose last name is looked up in
    // `folder` (which failed with `folderError` when it is none). Whatever
    // stands there is held for the replacement. Raises "Cannot create file
    // "<path>". <system text>", naming the programs that hold it where the
    // system can tell, when another program holds it without sharing or
    // something other than a file stands there. Returns the place's number.
    std::size_t Hold(HeldFolder folder, std::wstring path, DWORD folderError);

    // Writes the place's new file, its length checked. Raises "Cannot create
    // file ..." or "Stream write error"; a file that failed is gone again.
    void Write(std::size_t place, const void* data, std::size_t size);

    // Every file written and not yet in place takes its name.
    void Commit();

    // Ends the transaction: the kept files go, or go at the next restart where
    // a running program still maps them. `dir` is the install folder's path.
    void Finish(const HeldFolder& installFolder, const std::wstring& dir);

    void Undo() noexcept;

    enum class Settled { Nothing, Undone, Finished };
    // Settles what an earlier run ended abruptly left in the product's
    // folders (the install folder first): without its marker, its new files
    // go and the kept ones take their names back; with it, the kept files go.
    // In `loose` folders (the shortcuts') each kept file goes where its new
    // one stands and takes its name back where none does. A kept file that a
    // running program still maps stays, with its marker, for the next run.
    static Settled Settle(const std::vector<HeldFolder>& product, const std::vector<HeldFolder>& loose);

  private:
    enum class Stage { Held, Written, OldAside, Placed };
    struct Place {
        HeldFolder folder;
        std::wstring path;
        DWORD folderError;
        UniqueHandle old, written;
        Stage stage;
        std::wstring Name() const { return path.substr(path.rfind(L'\\') + 1); }
    };

    std::wstring tag_;
    std::vector<Place> places_;
    // Each folder the run made, by the folder it is in and its name.
    std::vector<std::pair<HeldFolder, std::wstring>> made_;
};
