#pragma once

#include "system/HeldFolder.h"

#include <string>
#include <vector>

class FileTransaction;

// The browser's shortcuts: the one on the all-users desktop (where `desktop`),
// then the four in the program group of the all-users Start menu (where
// `startMenu`), written as part of the installation's files. One left out is
// not made, and one that an earlier installation made stays as it is.
void CreateProductShortcuts(const std::wstring& installDir, bool desktop, bool startMenu, FileTransaction& files);

// The folders that hold the shortcuts, where they exist: what an earlier run
// may have left names of its own in.
std::vector<HeldFolder> ShortcutFolders();
