#pragma once

#include "system/Handles.h"
#include "system/StartRoute.h"

#include <string>
#include <vector>

// A running copy of one of the product's programs in the install folder,
// held by its process handle from the moment it was judged, so that a process
// that takes over its id later is never asked or ended in its place.
struct RunningCopy {
    DWORD id;
    // Which of Product::kPrograms it runs.
    unsigned program;
    UniqueHandle process;
    // Whose it is and where, to start it again as that user there.
    ClosedCopy owner;
};

// The running processes of the product's programs whose image the system
// names as the file of that name in `folder` (a path through no link), by its
// short name or its long one, in any letter case, in the
// order the system lists them, other accounts' processes among them.
std::vector<RunningCopy> FindRunningCopies(const std::wstring& folder);

// The product's programs of the bits, in the order of Product::kPrograms, for
// a box or a status text ("Zarvo.exe、ZarvUpdate.exe").
std::wstring ProgramNames(unsigned programs);
