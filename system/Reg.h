#pragma once

#include <windows.h>

#include <string>

// One-shot registry access: every call opens its key with full access, does one
// read or write and closes the key again. A key that cannot be opened is no
// error: the read gives the empty text and a write stores nothing. Key paths
// and value names are texts ending in a NUL, as the system takes them.

std::wstring RegReadString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName);
void RegWriteString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName, const wchar_t* value);
void RegWriteExpandString(HKEY root,
                          const wchar_t* keyPath,
                          bool canCreate,
                          const wchar_t* valueName,
                          const wchar_t* value);
void RegWriteDword(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName, DWORD value);
