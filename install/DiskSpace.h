#pragma once

#include "system/HeldFolder.h"

#include <string>

// Whether the installation has room, checked before anything is made: the
// install folder's disk must hold every new file in full beside the files it
// replaces (those are kept until the whole installation has succeeded), and
// the temporary folder's disk the largest temporary copy; one disk that holds
// both, both. The install folder's disk is the one that `folder` (the install
// folder, or the folder it is to be made in) is on, wherever a link or mount
// point on the way to it leads; `installDir` names it in the text. Gives the
// text of the box that says how much is needed and how much there is, or the
// empty text when there is room.
std::wstring RoomShortage(const HeldFolder& folder, const std::wstring& installDir, const std::wstring& tempDir);
