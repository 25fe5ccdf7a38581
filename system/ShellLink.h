#pragma once

#include "system/ComPtr.h"

#include <shlobj.h>

// Creates a shell-link object and takes its two interfaces. Raises an error
// when the object cannot be made or lacks an interface.
void CreateShellLinkObject(ComPtr<IUnknown>& object, ComPtr<IShellLinkW>& link, ComPtr<IPersistFile>& persist);
