#pragma once

#include <windows.h>

#include <string>

// One-shot registry access: every call opens its key with full access, does one
// read or write and closes the key again. A key that cannot be opened is no
// error: the read gives the empty text and a write stores nothing.

std::wstring RegReadString(HKEY root, const std::wstring& keyPath, bool canCreate, const std::wstring& valueName);
void RegWriteString(HKEY root,
                    const std::wstring& keyPath,
                    bool canCreate,
                    const std::wstring& valueName,
                    const std::wstring& value);
void RegWriteExpandString(HKEY root,
                          const std::wstring& keyPath,
                          bool canCreate,
                          const std::wstring& valueName,
                          const std::wstring& value);
void RegWriteDword(HKEY root, const std::wstring& keyPath, bool canCreate, const std::wstring& valueName, DWORD value);
