#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

// Writes the bytes to an open file in one write. Raises "Stream write error"
// when it takes fewer than given (a full disk); what was written stays.
void WriteAll(HANDLE file, const void* data, std::size_t size);

// Raises "Cannot create file "<full path>". <system's text>" with the code,
// and `more` after it: the one failure of every file the installer makes.
[[noreturn]] void RaiseCannotCreate(const std::wstring& path, unsigned long code, std::wstring_view more = {});
