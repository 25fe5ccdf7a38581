#pragma once

#include "system/HeldFolder.h"

#include <string>
#include <vector>

class FileTransaction;

// The browser's five shortcuts: one on the all-users desktop, four in the
// program group of the all-users Start menu, in that order, written as part
// of the installation's files.
void CreateProductShortcuts(const std::wstring& installDir, FileTransaction& files);

// The folders that hold the shortcuts, where they exist: what an earlier run
// may have left names of its own in.
std::vector<HeldFolder> ShortcutFolders();
