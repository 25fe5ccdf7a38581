#include "system/RunLog.h"

#include "system/FolderSecurity.h"
#include "system/HeldFolder.h"
#include "system/MessageText.h"
#include "system/RunNames.h"
#include "system/SystemError.h"
#include "system/Texts.h"

#include <memory>

namespace {

// Whether `folder` is the folder at `apart` or lies below it, by the names
// that the system gives both; one that cannot be told counts as within, one
// missing or a file as not, as nothing can lie in it.
bool Within(const HeldFolder& folder, const std::wstring& apart) {
    const HeldFolder outer = HeldFolder::Open(apart);
    if (!outer)
        return outer.Error() != ERROR_FILE_NOT_FOUND && outer.Error() != ERROR_PATH_NOT_FOUND &&
               outer.Error() != ERROR_DIRECTORY;
    const std::wstring& top = outer.Name();
    const std::wstring& inner = folder.Name();
    return top.empty() || inner.empty() ||
           (inner.size() >= top.size() && SameName(inner.substr(0, top.size()), top) &&
            (inner.size() == top.size() || inner[top.size()] == L'\\'));
}

}  // namespace

DWORD RunLog::Open(const std::wstring& path, const std::wstring& apart) {
    // Measured before any call is given it: Wine's GetLongPathNameW crashes
    // on a path of a thousand characters.
    const std::wstring whole = path.size() < MAX_PATH ? FullPath(path) : path;
    if (whole.size() >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    const std::wstring full = LongPath(whole);
    const std::size_t last = full.rfind(L'\\');
    // A colon past the drive's names a stream of a file, or a device's
    // namespace, neither of which is a file of its own.
    if (last == std::wstring::npos || last + 1 == full.size() || full.find(L':', 2) != std::wstring::npos)
        return ERROR_INVALID_NAME;
    const HeldFolder folder = HeldFolder::OpenWithoutLinks(LongPath(full.substr(0, last + 1)));
    if (folder && !apart.empty() && Within(folder, apart))
        return kInFolderKeptApart;
    // A file of that name may be another account's, with its owner and list:
    // the log is made anew beside it, with the product's list (administrators
    // and the system may do anything, users read), and takes the name.
    const UniqueLocalMemory security = ProductFolderSecurity();
    if (!security)
        return ERROR_NOT_ENOUGH_MEMORY;
    const std::wstring name = full.substr(last + 1);
    Opened file = folder.CreateNewFile(NewName(name, RunTag(GetTickCount())), false, security.get());
    if (!file)
        return file.error;
    if (const DWORD error = folder.MoveHere(file.file.get(), name, true)) {
        DeleteHeld(file.file.get());
        return error;
    }
    file_ = std::move(file.file);
    // The byte-order mark lets Notepad of every supported Windows tell UTF-8
    // from the system's code page.
    Write({L"\uFEFF"});
    return 0;
}

void RunLog::Step(std::wstring_view text) {
    if (!file_)
        return;
    EndStep();
    Write({text});
    inStep_ = true;
    stepStart_ = GetTickCount();
}

void RunLog::Line(std::initializer_list<std::wstring_view> parts) {
    if (!file_)
        return;
    EndStep();
    Write(parts);
    Write({L"\r\n"});
}

void RunLog::EndStep() {
    if (!inStep_)
        return;
    inStep_ = false;
    Write({FormatText(kStepTimeEnd, {DecimalText(GetTickCount() - stepStart_)})});
}

// What the run did is told by its exit code; a log that cannot be written to
// the end (a full disk) does not change it.
void RunLog::Write(std::initializer_list<std::wstring_view> parts) {
    // The parts are measured, then converted into one block: one write a line.
    int size = 0;
    for (std::wstring_view part : parts)
        size +=
            WideCharToMultiByte(CP_UTF8, 0, part.data(), static_cast<int>(part.size()), nullptr, 0, nullptr, nullptr);
    const std::unique_ptr<char[]> bytes(new char[static_cast<std::size_t>(size)]);
    int at = 0;
    for (std::wstring_view part : parts)
        at += WideCharToMultiByte(CP_UTF8, 0, part.data(), static_cast<int>(part.size()), bytes.get() + at, size - at,
                                  nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file_.get(), bytes.get(), static_cast<DWORD>(at), &written, nullptr);
}
