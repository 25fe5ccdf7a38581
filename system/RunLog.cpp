#include "system/RunLog.h"

#include <vector>

bool RunLog::Open(const std::wstring& path) {
    // A file left at the name goes as a name only, and the new one is made
    // only where nothing stands, so that a link planted at the name is never
    // written through with the installer's rights.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(path.c_str());
    file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_)
        return false;
    // The byte-order mark lets Notepad of every supported Windows tell UTF-8
    // from the system's code page.
    Write("\xEF\xBB\xBF", 3);
    return true;
}

void RunLog::Line(const std::wstring& text) {
    if (!file_)
        return;
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<std::size_t>(size) + 2);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    bytes[size] = '\r';
    bytes[size + 1] = '\n';
    Write(bytes.data(), static_cast<DWORD>(bytes.size()));
}

// What the run did is told by its exit code; a log that cannot be written to
// the end (a full disk) does not change it.
void RunLog::Write(const char* bytes, DWORD size) {
    DWORD written = 0;
    WriteFile(file_.get(), bytes, size, &written, nullptr);
}
