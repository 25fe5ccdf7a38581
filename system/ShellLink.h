#pragma once

#include "system/ComPtr.h"

#include <shlobj.h>

#include <vector>

// Creates a shell-link object and takes its two interfaces. Raises an error
// when the object cannot be made or lacks an interface.
void CreateShellLinkObject(ComPtr<IUnknown>& object, ComPtr<IShellLinkW>& link, ComPtr<IPersistStream>& persist);

// The shortcut as its file holds it. Raises the shell's error when it cannot
// be saved.
std::vector<unsigned char> ShortcutBytes(IPersistStream* persist);
