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

namespace {

// Writes the bytes in one write and closes the file. A full disk may report
// success with a short count: compare the count.
void WriteAndClose(UniqueHandle file, const void* data, std::size_t size) {
    DWORD written = 0;
    if (size != 0 && (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size))
        throw Error(L"Stream write error");
}

UniqueHandle CreateForWriting(const std::wstring& path, DWORD disposition, DWORD flags) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL | flags, nullptr));
    if (!file)
        throw Error(FileErrorMessage(L"Cannot create file", path, GetLastError()));
    return file;
}

}  // namespace

void WriteWholeFile(const std::wstring& path, const void* data, std::size_t size) {
    WriteAndClose(CreateForWriting(path, CREATE_ALWAYS, 0), data, size);
}

void WriteNewFile(const std::wstring& path, const void* data, std::size_t size) {
    // Only the name goes: a link loses its name, never its target's content,
    // and a directory link is removed as a link. A real directory stays, and
    // the creation below then fails on it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(path.c_str());
        else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryW(path.c_str());
    }
    // Whatever appears at the name meanwhile, a dangling symbolic link
    // included, makes the creation fail instead of being followed.
    WriteAndClose(CreateForWriting(path, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT), data, size);
}
