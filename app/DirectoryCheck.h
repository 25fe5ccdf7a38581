#pragma once

#include "app/ExitCode.h"
#include "system/HeldFolder.h"

#include <string>
#include <vector>

// The install folder as the directory check accepted it.
struct CheckedFolder {
    // Held from the check on, which judged this very folder.
    HeldFolder folder;
    // The path that the system knows the folder by, through no link: what
    // everything after the check names.
    std::wstring path;
    // The folders that the check made, outer first.
    std::vector<MadeFolder> made;
};

// The directory check: nothing is made until the text, the rights on the way
// and the room are known good; a refusal says why and removes what it made.
// `beforeMaking` runs just before the making, for tests that race it.
FolderRefusal CheckInstallFolder(const std::wstring& dir,
                                 const std::wstring& tempDir,
                                 CheckedFolder& checked,
                                 std::wstring& message,
                                 void (*beforeMaking)() = nullptr);
