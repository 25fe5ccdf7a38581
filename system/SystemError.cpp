#include "system/SystemError.h"

#include "system/Error.h"
#include "system/MessageText.h"
#include "system/Texts.h"

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
        text = FormatText(kSystemErrorCode, {DecimalText(code)});
    return text;
}

void RaiseSystemError(DWORD code) {
    Raise(SystemErrorText(code), code);
}

DWORD GrowToFit(const wchar_t* text, std::wstring& buffer, DWORD (*call)(const wchar_t* text, std::wstring& buffer)) {
    for (;;) {
        const DWORD length = call(text, buffer);
        if (length < buffer.size())
            return length;
        buffer.assign(length + 1, L'\0');
    }
}

namespace {

// What a call that writes a path into a buffer gives for `path`; the path as
// it is where it fails.
std::wstring SystemPath(const std::wstring& path, DWORD (*call)(const wchar_t* path, std::wstring& buffer)) {
    std::wstring buffer(MAX_PATH, L'\0');
    const DWORD length = GrowToFit(path.c_str(), buffer, call);
    if (length == 0)
        return path;
    buffer.resize(length);
    return buffer;
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    return SystemPath(path, [](const wchar_t* text, std::wstring& buffer) {
        return GetFullPathNameW(text, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    });
}

std::wstring LongPath(const std::wstring& path) {
    return SystemPath(path, [](const wchar_t* text, std::wstring& buffer) {
        return GetLongPathNameW(text, buffer.data(), static_cast<DWORD>(buffer.size()));
    });
}
