#pragma once

#include <windows.h>

#include <string>

// One-shot registry access: every call opens its key with full access, does one
// read or write and closes the key again. Absence is no error for a read: a key
// or value that is not there gives the empty text. A write that stores nothing
// is one: a key that cannot be opened or created raises "Failed to create key
// '<path>'. <system text>", a value that cannot be set "Failed to set data for
// '<name>'", each with the system's code. Key paths and value names are texts
// ending in a NUL, as the system takes them.

std::wstring RegReadString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName);
void RegWriteString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName, const wchar_t* value);
// The value as the system takes it: its type, and its data with any
// terminating NUL counted in `size`.
void RegWriteValue(HKEY root,
                   const wchar_t* keyPath,
                   bool canCreate,
                   const wchar_t* valueName,
                   DWORD type,
                   const void* data,
                   DWORD size);
