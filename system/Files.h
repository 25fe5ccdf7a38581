#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Writes the bytes to an open file in one write. Raises "Stream write error"
// when it takes fewer than given (a full disk); what was written stays.
void WriteAll(HANDLE file, const void* data, std::size_t size);

// The message for a file that cannot be opened or created, with the full path
// and the system's text for the error code.
std::wstring FileErrorMessage(const wchar_t* what, const std::wstring& path, unsigned long code);
