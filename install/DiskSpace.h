#pragma once

#include <string>

// Whether the installation has room, checked before anything is made: the
// install folder's disk must hold every new file in full beside the files it
// replaces (those are kept until the whole installation has succeeded), and
// the temporary folder's disk the largest temporary copy; one disk that holds
// both, both. Gives the text of the box that says how much is needed and how
// much there is, or the empty text when there is room.
std::wstring RoomShortage(const std::wstring& installDir, const std::wstring& tempDir);
