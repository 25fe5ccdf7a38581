#pragma once

#include "system/ComPtr.h"

#include <shlobj.h>

#include <string>
#include <vector>

// Creates a shell-link object and takes its two interfaces. Raises an error
// when the object cannot be made or lacks an interface.
void CreateShellLinkObject(ComPtr<IUnknown>& object, ComPtr<IShellLinkW>& link, ComPtr<IPersistStream>& persist);

// The file of a shortcut to `target`, made with the shell-link object, whose
// every field is set afresh. Raises the shell's error when it cannot be saved,
// and "Interface not supported" without the object.
std::vector<unsigned char> CreateShortcut(IShellLinkW* link,
                                        IPersistStream* persist,
                                        const std::wstring& target,
                                        const std::wstring& workingDirectory,
                                        const wchar_t* description,
                                        const wchar_t* arguments);
