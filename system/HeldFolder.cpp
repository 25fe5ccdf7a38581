#include "system/HeldFolder.h"

#include "system/PathRoot.h"

#include <winternl.h>

#include <algorithm>
#include <memory>

extern "C" BOOLEAN NTAPI RtlEqualUnicodeString(PCUNICODE_STRING, PCUNICODE_STRING, BOOLEAN);
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE,
                                               HANDLE,
                                               PVOID,
                                               PVOID,
                                               PIO_STATUS_BLOCK,
                                               PVOID,
                                               ULONG,
                                               FILE_INFORMATION_CLASS,
                                               BOOLEAN,
                                               PUNICODE_STRING,
                                               BOOLEAN);

namespace {

// What stands at a name leads elsewhere, and is neither followed nor removed:
// "The name of the file cannot be resolved by the system", as for a chain of
// links too long to follow.
constexpr DWORD kLeadsElsewhere = ERROR_CANT_RESOLVE_FILENAME;

// Reading its security lets the installer judge who else may change it.
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL;
constexpr ULONG kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Opens or makes one name below the folder held by `parent`. A link at the
// name is opened as itself, never followed; a folder not held passes its code
// on.
Opened OpenBelow(const HeldFolder& parent,
                 const std::wstring& name,
                 ACCESS_MASK access,
                 ULONG sharing,
                 ULONG disposition,
                 ULONG options,
                 PSECURITY_DESCRIPTOR security = nullptr,
                 bool* created = nullptr) {
    if (!parent)
        return {UniqueHandle(), parent.Error()};
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    UNICODE_STRING text{bytes, bytes, const_cast<PWSTR>(name.c_str())};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent.Handle(), security);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const NTSTATUS result =
        NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, sharing,
                     disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (created)
        *created = NT_SUCCESS(result) && status.Information == FILE_CREATED;
    if (!NT_SUCCESS(result))
        return {UniqueHandle(), RtlNtStatusToDosError(result)};
    return {UniqueHandle(handle), 0};
}

// Opens the name only to rename or delete it, shared with every other opener:
// a program that merely has it open, reading or running it, is no obstacle.
Opened OpenToMove(const HeldFolder& parent, const std::wstring& name, ULONG options) {
    return OpenBelow(parent, name, DELETE | FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN, options);
}

// The name under which the system knows what the handle opened, empty when it
// cannot tell.
std::wstring SystemName(HANDLE handle) {
    ULONG size = 512;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // ULONG elements keep the name's header aligned.
        const std::unique_ptr<ULONG[]> buffer(new ULONG[size / sizeof(ULONG) + 1]);
        ULONG needed = 0;
        const NTSTATUS result = NtQueryObject(handle, ObjectNameInformation, buffer.get(), size, &needed);
        if (NT_SUCCESS(result)) {
            const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.get());
            return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
        }
        if (needed <= size)
            break;
        size = needed;
    }
    return std::wstring();
}

enum class Standing {
    Own,        // the folder's own file or sub-folder
    Link,       // a link, or another name of a file, to be removed as a name
    Elsewhere,  // reached through a link that was followed: not to be touched
};

// What was opened at `name`. Wine follows a link even when asked not to; the
// name the system gives the opened object tells, before anything is removed.
Standing WhatStands(const std::wstring& parentName,
                    HANDLE opened,
                    const std::wstring& name,
                    bool file,
                    std::wstring& openedName) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(opened, &information) || parentName.empty())
        return Standing::Elsewhere;
    openedName = SystemName(opened);
    const wchar_t* separator = parentName.back() == L'\\' ? L"" : L"\\";
    if (!SameName(parentName + separator + name, openedName))
        return Standing::Elsewhere;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || (file && information.nNumberOfLinks > 1))
        return Standing::Link;
    return Standing::Own;
}

}  // namespace

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION files[2] = {};
    for (int i = 0; i < 2; ++i)
        if (!GetFileInformationByHandle(i ? b : a, &files[i]))
            return false;
    return files[0].dwVolumeSerialNumber == files[1].dwVolumeSerialNumber &&
           files[0].nFileIndexHigh == files[1].nFileIndexHigh && files[0].nFileIndexLow == files[1].nFileIndexLow;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    const auto bytes = static_cast<USHORT>(a.size() * sizeof(wchar_t));
    UNICODE_STRING first{bytes, bytes, const_cast<PWSTR>(a.c_str())};
    UNICODE_STRING second{bytes, bytes, const_cast<PWSTR>(b.c_str())};
    return RtlEqualUnicodeString(&first, &second, TRUE);
}

std::wstring DosPath(const std::wstring& name) {
    // The system's prefix of a share, or of a drive's name in its own form,
    // and what a path writes for it.
    static const wchar_t* const kPrefixes[][2] = {
        {L"\\??\\UNC\\", L"\\\\"}, {L"\\Device\\Mup\\", L"\\\\"}, {L"\\??\\", L""}};
    for (const auto& [prefix, path] : kPrefixes)
        if (name.compare(0, wcslen(prefix), prefix) == 0)
            return path + name.substr(wcslen(prefix));
    for (wchar_t drive[] = L"A:"; drive[0] <= L'Z'; ++drive[0]) {
        wchar_t device[MAX_PATH] = {};
        const std::size_t length = QueryDosDeviceW(drive, device, MAX_PATH) ? wcslen(device) : 0;
        if (length && name.compare(0, length, device) == 0 && (name.size() == length || name[length] == L'\\'))
            return drive + name.substr(length);
    }
    return std::wstring();
}

std::wstring HeldFolder::Path() const {
    return DosPath(name_);
}

bool DeleteHeld(HANDLE file) {
    struct {
        BOOLEAN deleteFile;
    } disposition{TRUE};
    IO_STATUS_BLOCK status{};
    return NT_SUCCESS(
        NtSetInformationFile(file, &status, &disposition, sizeof disposition, FileDispositionInformation));
}

HeldFolder HeldFolder::Open(const std::wstring& path) {
    UniqueHandle folder(CreateFileW(path.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return HeldFolder(GetLastError());
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(folder.get(), &information) ||
        !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return HeldFolder(ERROR_DIRECTORY);
    std::wstring name = SystemName(folder.get());
    return HeldFolder(std::move(folder), std::move(name));
}

HeldFolder HeldFolder::CreateFolder(const std::wstring& name, PSECURITY_DESCRIPTOR security) const {
    Opened folder =
        OpenBelow(*this, name, kFolderAccess | DELETE, kFolderSharing, FILE_CREATE, FILE_DIRECTORY_FILE, security);
    if (!folder)
        return HeldFolder(folder.error);
    std::wstring folderName = SystemName(folder.file.get());
    return HeldFolder(std::move(folder.file), std::move(folderName));
}

HeldFolder HeldFolder::RealFolder(const std::wstring& name, bool* created) const {
    // A link is removed once; one that is back at once is not fought over.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Opened folder =
            OpenBelow(*this, name, kFolderAccess, kFolderSharing, FILE_OPEN_IF, FILE_DIRECTORY_FILE, nullptr, created);
        if (!folder)
            return HeldFolder(folder.error);
        std::wstring folderName;
        const Standing standing = WhatStands(name_, folder.file.get(), name, false, folderName);
        if (standing == Standing::Own)
            return HeldFolder(std::move(folder.file), std::move(folderName));
        if (standing == Standing::Elsewhere)
            break;
        // The folder is held without delete access, which would clash with
        // programs that merely have it open; the link is opened again for that.
        folder.file.reset();
        const Opened link = OpenToMove(*this, name, FILE_DIRECTORY_FILE);
        if (link && WhatStands(name_, link.file.get(), name, false, folderName) == Standing::Link)
            DeleteHeld(link.file.get());
    }
    return HeldFolder(kLeadsElsewhere);
}

HeldFolder HeldFolder::ExistingFolder(const std::wstring& name) const {
    Opened folder = OpenBelow(*this, name, kFolderAccess, kFolderSharing, FILE_OPEN, FILE_DIRECTORY_FILE);
    if (!folder)
        return HeldFolder(folder.error);
    std::wstring folderName;
    if (WhatStands(name_, folder.file.get(), name, false, folderName) != Standing::Own)
        return HeldFolder(kLeadsElsewhere);
    return HeldFolder(std::move(folder.file), std::move(folderName));
}

UniqueHandle HeldFolder::FolderToDelete(const std::wstring& name) const {
    Opened folder = OpenToMove(*this, name, FILE_DIRECTORY_FILE);
    std::wstring folderName;
    if (folder && WhatStands(name_, folder.file.get(), name, false, folderName) != Standing::Own)
        folder.file.reset();
    return std::move(folder.file);
}

Opened HeldFolder::CreateNewFile(const std::wstring& name, bool temporary, PSECURITY_DESCRIPTOR security) const {
    return OpenBelow(*this, name, GENERIC_READ | GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                     FILE_NON_DIRECTORY_FILE | (temporary ? FILE_DELETE_ON_CLOSE : 0), security);
}

Opened HeldFolder::OpenExisting(const std::wstring& name, bool folderToo) const {
    Opened file = OpenToMove(*this, name, folderToo ? 0 : FILE_NON_DIRECTORY_FILE);
    std::wstring fileName;
    if (file && WhatStands(name_, file.file.get(), name, true, fileName) == Standing::Elsewhere)
        return {UniqueHandle(), kLeadsElsewhere};
    return file;
}

Opened HeldFolder::OpenToRead(const std::wstring& name) const {
    Opened file = OpenBelow(*this, name, GENERIC_READ | DELETE, FILE_SHARE_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    std::wstring fileName;
    if (file && WhatStands(name_, file.file.get(), name, true, fileName) != Standing::Own)
        return {UniqueHandle(), kLeadsElsewhere};
    return file;
}

DWORD HeldFolder::MoveHere(HANDLE file, const std::wstring& name, bool replace) const {
    if (!handle_)
        return error_;
    // The rename information: a flag, the folder, the length and the name.
    const std::size_t bytes = name.size() * sizeof(wchar_t);
    const std::size_t size = (3 * sizeof(ULONG_PTR) + bytes + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR);
    const std::unique_ptr<ULONG_PTR[]> buffer(new ULONG_PTR[size]());
    struct Rename {
        BOOLEAN replaceIfExists;
        HANDLE rootDirectory;
        ULONG fileNameLength;
        WCHAR fileName[1];
    };
    auto* rename = reinterpret_cast<Rename*>(buffer.get());
    rename->replaceIfExists = replace;
    rename->rootDirectory = handle_.get();
    rename->fileNameLength = static_cast<ULONG>(bytes);
    std::copy(name.begin(), name.end(), rename->fileName);
    IO_STATUS_BLOCK status{};
    const NTSTATUS result = NtSetInformationFile(file, &status, rename, static_cast<ULONG>(size * sizeof(ULONG_PTR)),
                                                 FileRenameInformation);
    return NT_SUCCESS(result) ? 0 : RtlNtStatusToDosError(result);
}

std::vector<std::wstring> HeldFolder::Names() const {
    std::vector<std::wstring> names;
    // ULONG elements keep each entry's header aligned.
    const std::unique_ptr<ULONG[]> buffer(new ULONG[2048]);
    for (BOOLEAN restart = TRUE;; restart = FALSE) {
        IO_STATUS_BLOCK status{};
        if (!NT_SUCCESS(NtQueryDirectoryFile(handle_.get(), nullptr, nullptr, nullptr, &status, buffer.get(),
                                             2048 * sizeof(ULONG), FileNamesInformation, FALSE, nullptr, restart)))
            break;
        // Each entry: the offset of the next, an index, the name's length and the name.
        for (const auto* entry = reinterpret_cast<const unsigned char*>(buffer.get());;) {
            const auto* fields = reinterpret_cast<const ULONG*>(entry);
            std::wstring name(reinterpret_cast<const wchar_t*>(fields + 3), fields[2] / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                names.push_back(std::move(name));
            if (fields[0] == 0)
                break;
            entry += fields[0];
        }
    }
    return names;
}

void HeldFolder::Remove() {
    if (handle_)
        DeleteHeld(handle_.get());
    handle_.reset();
}

HeldFolder HeldFolder::OpenWithoutLinks(const std::wstring& path) {
    const std::wstring root = PathRoot(path);
    HeldFolder folder = Open(root);
    for (std::size_t start = root.size(); folder && start < path.size();) {
        const std::size_t end = path.find(L'\\', start);
        const std::wstring name = path.substr(start, end == std::wstring::npos ? end : end - start);
        start = end == std::wstring::npos ? path.size() : end + 1;
        if (!name.empty())
            folder = folder.ExistingFolder(name);
    }
    return folder;
}
