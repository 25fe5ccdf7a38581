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

// The directory check: the folder text, who could change the folders on the
// way, then the deepest folder of the path that exists, held and judged where
// it is, the disk space on its volume, each missing folder made below it, and
// the install folder, held, judged again where it is and found once more at
// the typed path. `beforeMaking` runs between the first look and the making.
// Gives why nothing may be installed into the folder, with the text that
// tells it, or None with `checked` filled; a refusal removes what the check
// made.
FolderRefusal CheckInstallFolder(const std::wstring& dir,
                                 const std::wstring& tempDir,
                                 CheckedFolder& checked,
                                 std::wstring& message,
                                 void (*beforeMaking)() = nullptr);
