#include "system/SystemError.h"

#include "system/Error.h"
#include "system/MessageText.h"

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty())
        text = L"System error code " + DecimalText(code);
    return text;
}

void RaiseSystemError(DWORD code) {
    Raise(SystemErrorText(code), code);
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return path;
        const bool whole = length < buffer.size();
        buffer.resize(length);
        if (whole)
            return buffer;
    }
}
