#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One-shot registry access, one key opened per call. Absence is no error for a
// read (the empty text); a write that stores nothing raises with the system's code.
// The machine's keys that Windows' shell reads (Product::InShellView) are
// opened in its view, the 64-bit one on 64-bit Windows.

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

// A value as it stands, for a journal of what a run changes: whether its key
// and the value exist, with its type and bytes. Missing is an answer; a key or
// value that cannot be read raises.
struct RegValueState {
    bool keyExists = false;
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;
};
RegValueState RegReadState(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);
// Gives the value those bytes, or deletes it where it is not to exist (one
// already missing is no error); raises "Failed to set data for '<name>'".
void RegPutState(HKEY root,
                 const std::wstring& keyPath,
                 const std::wstring& valueName,
                 bool exists,
                 DWORD type,
                 const std::vector<unsigned char>& data);
// Deletes a key that holds no keys: true where it is gone or was missing,
// false where it stays, with the system's code as the last error. The keys
// between it and the product's key that holds it (Product::KeyHolding) go
// where that leaves them empty.
bool RegRemoveKey(HKEY root, const std::wstring& keyPath);
// Deletes the key where it holds neither a value nor a key (one missing is
// gone); false where it stays.
bool RegRemoveEmptyKey(HKEY root, const std::wstring& keyPath);
// Writes the key to the disk now, so that a power cut cannot take back what a
// run has counted as done; a missing key has nothing to write.
void RegFlush(HKEY root, const wchar_t* keyPath);
