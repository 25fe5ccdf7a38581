#pragma once

#include <windows.h>

#include <string>

// One-shot registry access, one key opened per call. Absence is no error for a
// read (the empty text); a write that stores nothing raises with the system's code.

std::wstring RegReadString(HKEY root, const wchar_t* keyPath, bool canCreate, const wchar_t* valueName);
// A text that is only a hint: empty where the key or value is missing, cannot
// be read or holds no text.
std::wstring RegReadHint(HKEY root, const wchar_t* keyPath, const wchar_t* valueName);
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
