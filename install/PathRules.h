#pragma once

#include <string>
#include <vector>

// Path rules of the installer that need no file system.

// Why the directory check refused a folder.
enum class FolderRefusal {
    None,
    Unusable,  // its text, or a folder that cannot be made
    Unsafe,    // a folder that accounts other than the administrators could change
    NoRoom,    // too little disk space
    Changed,   // the folder, or the way to it, changed while it was checked
    Failed,    // the check itself failed with an error
};

// Drops one trailing backslash, if there is one.
std::wstring WithoutTrailingBackslash(std::wstring path);

// The part of the path up to and including its last backslash or colon; empty
// when it has neither.
std::wstring ParentPart(const std::wstring& path);

// The folders above `dir` up to `outermost`, deepest first ("C:\\A\\B" and
// "C:\\A" for "C:\\A\\B\\Zarvo" up to "C:\\A"); none where `outermost` is no
// well-formed folder above it.
std::vector<std::wstring> FoldersBetween(const std::wstring& dir, const std::wstring& outermost);

// Whether a typed install directory can stand in every path built on it, so
// that no file lands elsewhere than the registry and the shortcuts say: an
// absolute path below a root, with no name that Windows alters or refuses.
bool WellFormedInstallDir(const std::wstring& text);

// The install directory below a folder picked by the user: a drive root such
// as D:\ gives D:\Zarvo, any other folder gets "\Zarvo" appended; nothing
// picked gives the empty text.
std::wstring InstallDirBelow(const std::wstring& folder);
