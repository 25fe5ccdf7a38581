#pragma once

#include "install/Areas.h"
#include "system/Handles.h"

#include <list>
#include <string>
#include <vector>

// The files that one installation puts in place: each written in full and
// flushed beside its place, the one it replaces held and kept aside until
// the run is done, so that no step leaves a file half-written or lost.
class FilePlaces {
  public:
    FilePlaces(Areas& areas, std::wstring tag) : areas_(areas), tag_(std::move(tag)) {}

    // Holds whatever stands at the place. Raises "Cannot create file "<path>".
    // <system text>", naming the programs that hold it where the system can
    // tell, when another program holds it without sharing or something other
    // than a file stands there. With `leaveElsewhere`, a name that leads
    // elsewhere, a link that the system follows as it opens it, is left as it
    // is instead: what it leads to is no file of the product's; and so is the
    // kept installer that another program holds without sharing, which the
    // caller asks only where the package's action runs it: it removes it once
    // the installer has ended.
    void Hold(Area area, const std::wstring& path, bool leaveElsewhere = false);
    void LetGo(Area area, const std::wstring& path);

    // Writes the place's new file: `fill` writes its bytes through the handle;
    // then they are flushed. Raises "Cannot create file ..." or what `fill`
    // raises; a new file that failed is gone again.
    template <typename Fill>
    void Write(Area area, const std::wstring& path, Fill&& fill) {
        const HANDLE file = Create(area, path);
        try {
            fill(file);
            Flush(area, path);
        } catch (...) {
            Drop(area, path);
            throw;
        }
    }
    // Removes the new file again.
    void Drop(Area area, const std::wstring& path);

    // The new file takes the place's name, the one it replaces kept aside;
    // with none written (a removal), the held file is only kept aside. False
    // where the name was left as it leads elsewhere.
    bool Place(Area area, const std::wstring& path);
    // The name back to the file it replaced; the new file goes.
    void Unplace(Area area, const std::wstring& path);

    // The kept files go, and the run is done with its places. Gives the paths
    // of those that a running program still maps, which cannot go yet.
    std::vector<std::wstring> RemoveKept();

    // The full path of a place, for messages.
    std::wstring FullPath(Area area, const std::wstring& path) const;

  private:
    struct Entry {
        Area area;
        std::wstring path;
        UniqueHandle old, written;
        bool placed;
        bool elsewhere;
    };
    // The place's entry, made when missing.
    Entry& At(Area area, const std::wstring& path);
    HANDLE Create(Area area, const std::wstring& path);
    void Flush(Area area, const std::wstring& path);
    [[noreturn]] void Fail(Area area, const std::wstring& path, DWORD error) const;

    Areas& areas_;
    std::wstring tag_;
    std::list<Entry> entries_;
};

// A name that an earlier run left: removed. Gives the system's error code
// where it is still there (a kept file that a running program maps, or that
// another program holds without sharing), 0 where it is gone.
DWORD DiscardLeft(Areas& areas, Area area, const std::wstring& path);
// A file that an earlier run kept aside takes its name back, whatever stands
// there going first. Raises "Cannot create file ..." when it cannot.
void PutBackLeft(Areas& areas, Area area, const std::wstring& path);
