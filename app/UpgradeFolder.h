#pragma once

#include <string>

// The installed copy's folder that an Uninstall entry's text names
// (InstallLocation, or with namesFile DisplayIcon's folder), without the quotes,
// spaces and icon index such texts carry; empty where the folder rules refuse it.
std::wstring RegisteredFolder(const std::wstring& text, bool namesFile);
