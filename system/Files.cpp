#include "system/Files.h"

#include "system/Error.h"
#include "system/MessageText.h"
#include "system/SystemError.h"
#include "system/Texts.h"

void RaiseCannotCreate(const std::wstring& path, unsigned long code, std::wstring_view more) {
    Raise(FormatText(kCannotCreateFile, {FullPath(path), SystemErrorText(code), more}), code);
}

void WriteAll(HANDLE file, const void* data, std::size_t size) {
    // A full disk may report success with a short count: compare the count.
    DWORD written = 0;
    if (size != 0 && (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written != size))
        Raise(kStreamWriteError);
}
