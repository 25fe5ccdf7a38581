#pragma once

#include "system/HeldFolder.h"

#include <string>

// The box's text where a disk lacks room, empty where both have it: known
// before anything is made, the replaced files being kept until the end. The
// install folder's disk is the held `folder`'s, wherever a link leads.
std::wstring RoomShortage(const HeldFolder& folder, const std::wstring& installDir, const std::wstring& tempDir);
