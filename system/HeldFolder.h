#pragma once

#include "system/Handles.h"

#include <string>
#include <vector>

// A file opened below a held folder, or none with the system's code for why.
struct Opened {
    UniqueHandle file;
    DWORD error = 0;
    explicit operator bool() const { return static_cast<bool>(file); }
};

// A folder held while the installer works in it, reached below one name at a
// time through its handle, never through a link: another program may change
// the folders it can write to at any moment. A failure is an empty result
// with the system's code, which an empty folder passes on to every call.
class HeldFolder {
  public:
    HeldFolder() = default;

    // Why the folder is not held: the system's code (0 for one never opened).
    DWORD Error() const { return error_; }

    // The folder at the path, with links on the way followed: people move
    // folders elsewhere through them. It is held without delete sharing, so
    // that nobody renames or removes it while it is held.
    static HeldFolder Open(const std::wstring& path);

    // A new sub-folder with that security descriptor (null: inherited); fails
    // when anything stands at the name.
    HeldFolder CreateFolder(const std::wstring& name, PSECURITY_DESCRIPTOR security) const;
    // The sub-folder of that name, made when missing (then `created` is set).
    // A link at the name is removed as a name and a real folder made in its
    // place.
    HeldFolder RealFolder(const std::wstring& name, bool* created = nullptr) const;
    // The existing sub-folder of that name; none when there is none.
    HeldFolder ExistingFolder(const std::wstring& name) const;
    // The sub-folder of that name, held so that it can be deleted (DeleteHeld)
    // once empty; shared with every other opener.
    UniqueHandle FolderToDelete(const std::wstring& name) const;

    // A new file for reading, writing and deleting, shared with nobody, with
    // that security descriptor (null: inherited); fails when anything stands
    // at the name. A temporary one goes when its handle is closed, however the
    // program gets there.
    Opened CreateNewFile(const std::wstring& name,
                         bool temporary = false,
                         PSECURITY_DESCRIPTOR security = nullptr) const;

    // The file at the name, a link as itself (and a folder too with
    // `folderToo`), held to be renamed or deleted and shared as a program that
    // runs it may need; a sharing violation where another program holds it.
    Opened OpenExisting(const std::wstring& name, bool folderToo = false) const;
    // The file of that name for reading and deleting, shared with readers
    // only; a link or a second name of a file is refused.
    Opened OpenToRead(const std::wstring& name) const;
    // Gives a file held with delete access (CreateNewFile, OpenExisting) the
    // name in this folder; fails when anything stands at the name, unless it
    // is to be replaced: then a file or link there goes as a name. Gives 0, or
    // the system's code.
    DWORD MoveHere(HANDLE file, const std::wstring& name, bool replace = false) const;

    // The names of everything in the folder.
    std::vector<std::wstring> Names() const;

    // Deletes the folder, empty by then, through its handle.
    void Remove();

    HANDLE Handle() const { return handle_.get(); }
    const std::wstring& Name() const { return name_; }
    // The path of the name that the system knows the folder by (DosPath):
    // where it is, with no link on the way.
    std::wstring Path() const;

    explicit operator bool() const { return static_cast<bool>(handle_); }

    // The folder at the full path, reached from the root of its drive or share
    // one name at a time, each the real folder of that name: a link anywhere
    // on the way fails, as does a name that the system resolves elsewhere.
    static HeldFolder OpenWithoutLinks(const std::wstring& path);

  private:
    explicit HeldFolder(DWORD error) : error_(error) {}
    HeldFolder(UniqueHandle handle, std::wstring name) : handle_(std::move(handle)), name_(std::move(name)) {}

    UniqueHandle handle_;
    // The name under which the system knows the folder, which tells where
    // what is opened below it lies.
    std::wstring name_;
    DWORD error_ = 0;
};

// Deletes a file through a handle opened with delete access; it goes when the
// last handle to it is closed.
bool DeleteHeld(HANDLE file);

// The path of what the system knows as `name`: "C:\Apps" for "\??\C:\Apps",
// or for "\Device\HarddiskVolume2\Apps" where that volume is drive C:, and
// "\\server\share" for a share; empty for anything else.
std::wstring DosPath(const std::wstring& name);

// Whether two handles opened one file: one volume, one file index.
bool SameFile(HANDLE a, HANDLE b);

// Whether two names are one as the file system compares them: letter case
// aside.
bool SameName(const std::wstring& a, const std::wstring& b);
