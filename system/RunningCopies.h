#pragma once

#include "system/Handles.h"

#include <cstddef>
#include <string>
#include <vector>

// A running copy of one of the install folder's programs, held by its process
// handle from the moment it was judged, so that a process that takes over its
// id later is never asked or ended in its place.
struct RunningCopy {
    DWORD id;
    // The program file, as the system named it when it started the process.
    std::wstring image;
    UniqueHandle process;
};

// The running processes of those executable names whose image the system
// names as the file of that name in `folder` (a path through no link), in the
// order the system lists them, other accounts' processes among them.
std::vector<RunningCopy> FindRunningCopies(const std::wstring& folder, const wchar_t* const* names, std::size_t count);

template <std::size_t N>
std::vector<RunningCopy> FindRunningCopies(const std::wstring& folder, const wchar_t* const (&names)[N]) {
    return FindRunningCopies(folder, names, N);
}
