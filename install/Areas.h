#pragma once

#include "install/Plan.h"
#include "system/HeldFolder.h"

#include <list>
#include <string>

// The Program Files folder as a 32-bit program sees it, where the package
// keeps the installer too; empty where the system cannot tell.
std::wstring ProgramFilesPath();

// The folders that the installation works in, held while it runs: the
// install folder and the folders of its tree, each reached one name at a time
// from the install folder through its handle, never through a link; the
// all-users desktop; the product's group in the all-users Start menu; and the
// kept installer's folder in the 32-bit Program Files.
class Areas {
  public:
    // `above` holds the install folder where it may go itself (a removal).
    Areas(std::wstring dir, HeldFolder root, HeldFolder above = HeldFolder());

    // The paths of the areas' folders, in the order of Area.
    const AreaPaths& Paths() const { return paths_; }

    // The folder at the path below the area's folder ("" for the area's folder
    // itself); none, with the system's code, when it is missing or something
    // else stands there.
    const HeldFolder& Folder(Area area, const std::wstring& path);
    // Makes the folder at the path where it is missing, or raises "I/O error
    // <code>": every folder of the tree is part of the product.
    void Make(Area area, const std::wstring& path);

    // Removes the folder at the path, letting go of it and of what is held
    // below it first: with `onlyMade`, where Make made it (it is empty by
    // now); otherwise where it is there and holds nothing. False where it stays.
    bool Remove(Area area, const std::wstring& path, bool onlyMade);
    // Removes a folder above the install folder (`path`, in full), gone by
    // then, where it holds nothing, reached from its drive's root through no
    // link; one that is not there, or is a link, is none to remove. False
    // where it stays.
    bool RemoveAbove(const std::wstring& path);
    // The folder that the kept installer's is made in, held: Program Files.
    const HeldFolder& ProgramFiles() const { return programFiles_; }

    // What exists of the product's folders, files and shortcuts, and what
    // earlier runs left in the folders that hold them.
    Situation Look();

  private:
    // The folder that holds the area's folder ("" for the group: the Start
    // menu's programs folder; for the kept installer's: Program Files).
    const HeldFolder& Above(Area area, const std::wstring& path);
    // The name of the folder at the path in the folder above it.
    std::wstring NameAt(Area area, const std::wstring& path) const;

    AreaPaths paths_;
    // Above the install folder: nothing an installation may reach.
    HeldFolder above_;
    HeldFolder programs_, programFiles_;
    struct Held {
        Area area;
        std::wstring path;
        HeldFolder folder;
        bool made;
    };
    // A list, so that a folder handed out stays where it is as others come.
    std::list<Held> held_;
    // The entry of the folder at the path, made empty where there is none.
    Held& At(Area area, const std::wstring& path);
};
