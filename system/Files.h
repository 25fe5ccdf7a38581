#pragma once

#include <cstddef>
#include <string>

// Whether the path names an existing directory.
bool DirectoryExists(const std::wstring& path);
// Whether the path names an existing file that is not a directory.
bool PlainFileExists(const std::wstring& path);

// Creates the file, or truncates the one that is there, with read and write
// access and no sharing, and writes the bytes in one write. Raises
// "Cannot create file "<full path>". <system text>" when it cannot be created
// and "Stream write error" when it takes fewer bytes than given (a full disk);
// the partly written file then stays.
void WriteWholeFile(const std::wstring& path, const void* data, std::size_t size);

// The same for a file that must be the caller's own new file, in a folder that
// others can write to: whatever stands at the name (a file, a hard or symbolic
// link, a directory link) is removed as a name, never written through, and the
// file is then created only if nothing is there, with the same errors.
void WriteNewFile(const std::wstring& path, const void* data, std::size_t size);

// The message for a file that cannot be opened or created, with the full path
// and the system's text for the error code.
std::wstring FileErrorMessage(const wchar_t* what, const std::wstring& path, unsigned long code);
