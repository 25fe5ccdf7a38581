#pragma once

#include <string>

// The folder that a text of the product's Uninstall entry names for an
// installed copy: InstallLocation itself, or with namesFile the folder of the
// DisplayIcon file. Spaces, quotes, an icon index (",0") and backslashes at
// the end, which such texts may carry, are no part of it; empty where what is
// left fails the folder rules of the directory check (WellFormedInstallDir).
std::wstring RegisteredFolder(const std::wstring& text, bool namesFile);
