#pragma once

#include "system/Error.h"

#include <string>

// Path rules of the installer that need no file system.

// Drops one trailing backslash, if there is one.
std::wstring WithoutTrailingBackslash(std::wstring path);

// The part of the path up to and including its last backslash or colon; empty
// when it has neither.
std::wstring ParentPart(const std::wstring& path);

// Creates a directory together with every missing parent, outer first, through
// the two given file-system operations. An empty path is an error. A path of
// fewer than three characters, or one that ends in a backslash or colon after
// one trailing backslash is dropped, counts as a root and is not created.
template <typename Exists, typename Create>
bool ForceDirectories(const std::wstring& path, Exists&& exists, Create&& create) {
    if (path.empty())
        throw Error(L"Unable to create directory");
    const std::wstring dir = WithoutTrailingBackslash(path);
    if (dir.size() < 3 || exists(dir) || dir.back() == L'\\' || dir.back() == L':')
        return true;
    return ForceDirectories(ParentPart(dir), exists, create) && create(dir);
}

// Whether a typed install directory can stand in every path built on it: an
// absolute path (a drive letter, a colon and a backslash, or \\server\share)
// below the root of its drive or share; no component ending in a space or a
// dot (Windows drops those, so the files would land elsewhere than the
// registry and the shortcuts say), none that is a device name such as NUL or
// COM1, with or without an extension; no character that a Windows file name
// cannot hold; and short enough for the deepest file the installation writes
// to stay within 259 characters. Empty components, as a trailing backslash
// gives, are harmless and pass.
bool WellFormedInstallDir(const std::wstring& text);

// The install directory below a folder picked by the user: a drive root such
// as D:\ gives D:\Zarvo, any other folder gets "\Zarvo" appended; nothing
// picked gives the empty text.
std::wstring InstallDirBelow(const std::wstring& folder);
