#include "system/Files.h"

#include "system/Error.h"
#include "system/Handles.h"
#include "system/SystemError.h"

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlainFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileErrorMessage(const wchar_t* what, const std::wstring& path, unsigned long code) {
    return std::wstring(what) + L" \"" + FullPath(path) + L"\". " + SystemErrorText(code);
}

void WriteWholeFile(const std::wstring& path, const void* data, std::size_t size) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw Error(FileErrorMessage(L"Cannot create file", path, GetLastError()));
    if (size == 0)
        return;
    DWORD written = 0;
    // A full disk may report success with a short count: compare the count.
    if (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size)
        throw Error(L"Stream write error");
}
