#pragma once

// The floor that an installation is measured against: the same required work
// with the simplest direct calls, taken from the product's tables. A header,
// so that bench/install.sh can build it into an earlier tree's benchmark.

#include "bench/InstallPhases.h"
#include "payload/Catalogue.h"
#include "system/ComPtr.h"
#include "system/EmbeddedResource.h"
#include "system/Error.h"
#include "system/Handles.h"
#include "system/Product.h"

#include <aclapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

namespace floor_detail {

inline void Write(const std::wstring& path, const void* data, DWORD size) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), data, size, &written, nullptr) || written != size)
        throw Error(L"cannot write " + path);
}

inline std::wstring FolderPath(int csidl) {
    wchar_t path[MAX_PATH + 1] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Who owns a folder and who may do what in it.
inline void ReadRights(const std::wstring& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS)
        LocalFree(descriptor);
}

inline void CountNames(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// The new file written beside its place takes the name, the file it replaces
// kept under a name of its own until the end.
inline void PutInPlace(const std::wstring& path, std::vector<std::wstring>& kept) {
    const std::wstring old = path + L".zs-old";
    if (MoveFileExW(path.c_str(), old.c_str(), 0))
        kept.push_back(old);
    if (!MoveFileExW((path + L".zs-new").c_str(), path.c_str(), 0))
        throw Error(L"cannot rename " + path);
}

}  // namespace floor_detail

// A payload's plain size, from its container's header.
inline std::size_t PlainSize(const EmbeddedResource& container) {
    const auto* bytes = static_cast<const unsigned char*>(container.Data());
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::size_t>(bytes[3]) << 24;
}

// The floor's shell-link object, made once like the installer's.
struct FloorTools {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;

    FloorTools() {
        if (FAILED(
                CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
            FAILED(link.As(IID_IPersistFile, persist)))
            throw Error(L"no shell-link object");
    }
};

// The same work as an installation into dir, below root, with the simplest
// direct calls.
inline Round Floor(FloorTools& tools, const std::wstring& root, const std::wstring& dir, const std::wstring& tempDir) {
    using namespace floor_detail;
    Timeline timeline;
    const double start = Now();
    ReadRights(L"C:\\");
    ReadRights(root);

    timeline.Enter(FreeSpace);
    unsigned long long plain = 0;
    for (const Product::File& file : Product::kFiles)
        plain += PlainSize(EmbeddedResource(PayloadResourceType(file.payload).c_str(), file.payload));
    ULARGE_INTEGER room{};
    GetDiskFreeSpaceExW(L"C:\\", &room, nullptr, nullptr);
    GetDiskFreeSpaceExW((tempDir.substr(0, 3)).c_str(), &room, nullptr, nullptr);
    if (room.QuadPart < plain)
        throw Error(L"no room");

    timeline.Enter(Directories);
    CreateDirectoryW(dir.c_str(), nullptr);
    timeline.Enter(DirectoryCheck);
    ReadRights(dir);

    timeline.Enter(EarlierRun);
    const std::wstring desktop = FolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring group = FolderPath(CSIDL_COMMON_PROGRAMS) + L"\\" + Product::kName;
    for (const std::wstring& folder : {dir, desktop, group})
        CountNames(folder);

    // Each folder's parents first; one that exists fails harmlessly.
    timeline.Enter(Directories);
    for (const std::wstring folder : Product::kFolders)
        for (std::size_t end = 0; end != std::wstring::npos;) {
            end = folder.find(L'\\', end + 1);
            CreateDirectoryW((dir + folder.substr(0, end)).c_str(), nullptr);
        }

    timeline.Enter(ProcessScan);
    {
        const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
            for (const wchar_t* name : Product::kPrograms)
                if (_wcsicmp(entry.szExeFile, name) == 0)
                    throw Error(L"a product program is running");
    }

    timeline.Enter(Holds);
    std::vector<std::wstring> places;
    for (const Product::File& file : Product::kFiles) {
        places.push_back(dir + file.folder + L"\\" + file.name);
        const UniqueHandle held(CreateFileW(places.back().c_str(), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    }

    // The copies in a new folder of the run's own, each read back through the
    // handle that wrote it and deleted when that handle closes.
    const std::wstring scratch = tempDir + L"\\ZarvoFloor";
    for (std::size_t i = 0; i < places.size(); ++i) {
        const wchar_t* payload = Product::kFiles[i].payload;
        timeline.Enter(Resources);
        const EmbeddedResource container(PayloadResourceType(payload).c_str(), payload);

        timeline.Enter(TemporaryCopies);
        if (i == 0)
            CreateDirectoryW(scratch.c_str(), nullptr);
        UniqueHandle file(CreateFileW((scratch + L"\\" + Product::kFiles[i].name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        DWORD written = 0;
        if (!WriteFile(file.get(), container.Data(), container.Size(), &written, nullptr))
            throw Error(L"cannot write a copy");
        SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);

        // Each payload in memory of its own, as the installer must have it.
        timeline.Enter(Decompression);
        const DWORD packedSize = GetFileSize(file.get(), nullptr);
        const std::unique_ptr<unsigned char[]> packed(new unsigned char[packedSize]);
        DWORD read = 0;
        ReadFile(file.get(), packed.get(), packedSize, &read, nullptr);
        uLongf size = static_cast<uLongf>(PlainSize(container));
        const std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
        if (uncompress(bytes.get(), &size, packed.get() + 4, read - 4) != Z_OK)
            throw Error(L"a payload does not inflate");

        timeline.Enter(DestinationWrites);
        Write(places[i] + L".zs-new", bytes.get(), size);

        timeline.Enter(TemporaryCopies);
        file.reset();
    }
    RemoveDirectoryW(scratch.c_str());

#ifdef ZARVO_KEPT_FOLDER
    // The installer kept for later commands: the running file's bytes read in
    // one piece, written beside their place and renamed with the product's
    // files. Below the floor's folder, so that the product's copy stays as
    // the installations leave it. (A tree from before the kept installer has
    // neither it nor the shell's view below.)
    timeline.Enter(Directories);
    const std::wstring keptDir = dir + L"\\" ZARVO_KEPT_FOLDER;
    CreateDirectoryW(keptDir.c_str(), nullptr);
    timeline.Enter(DestinationWrites);
    {
        wchar_t own[MAX_PATH + 1] = {};
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        const UniqueHandle self(CreateFileW(own, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::vector<unsigned char> bytes(self ? GetFileSize(self.get(), nullptr) : 0);
        DWORD read = 0;
        if (!self || !ReadFile(self.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
            read != bytes.size())
            throw Error(L"cannot read the running installer");
        places.push_back(keptDir + L"\\" ZARVO_KEPT_FILE);
        Write(places.back() + L".zs-new", bytes.data(), read);
    }
#endif

    timeline.Enter(Renames);
    std::vector<std::wstring> kept;
    for (const std::wstring& place : places)
        PutInPlace(place, kept);

    timeline.Enter(Shortcuts);
    CreateDirectoryW(group.c_str(), nullptr);
    std::vector<std::wstring> links;
    for (const Product::Shortcut& shortcut : Product::kShortcuts) {
        links.push_back((shortcut.place == Product::LinkPlace::Desktop ? desktop : group) + L"\\" + shortcut.name);
        tools.link->SetPath((dir + L"\\" + shortcut.target).c_str());
        tools.link->SetWorkingDirectory(dir.c_str());
        tools.link->SetDescription(shortcut.description);
        tools.persist->Save((links.back() + L".zs-new").c_str(), FALSE);
    }
    timeline.Enter(Renames);
    for (const std::wstring& link : links)
        PutInPlace(link, kept);

    // Each value as it was, for an undo, then written: a text as the install
    // folder's path, a number as one; each key in the view that the product
    // writes it in, the shell's own for those that it reads.
    timeline.Enter(RegistryReads);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    // The installation's own values and keys: the system's defaults, last in
    // the tables where the tree has them, are no installation's.
#ifdef ZARVO_COMMAND_LOG
    const std::size_t ownValues = Product::kOwnValueCount, ownKeys = Product::kOwnKeyCount;
#else
    const std::size_t ownValues = Product::kValueCount, ownKeys = Product::kKeys.size();
#endif
    std::vector<UniqueHKey> keys;
    for (const wchar_t* path : Product::kKeys) {
        if (keys.size() == ownKeys)
            break;
        REGSAM view = 0;
#ifdef ZARVO_KEPT_FOLDER
        view = wow64 && Product::InShellView(path) ? KEY_WOW64_64KEY : 0;
#endif
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE | view, nullptr, &key,
                        nullptr);
        keys.emplace_back(key);
    }
    const auto keyOf = [&](const Product::Value& value) {
        std::size_t i = 0;
        while (Product::kKeys[i] != value.key)
            ++i;
        return keys[i].get();
    };
    for (const Product::Value& value : Product::kValues) {
        if (&value - Product::kValues == static_cast<std::ptrdiff_t>(ownValues))
            break;
        BYTE data[1024];
        DWORD size = sizeof data, type = 0;
        RegQueryValueExW(keyOf(value), value.name, nullptr, &type, data, &size);
    }
    timeline.Enter(Registration);
    const DWORD number = 1;
    for (const Product::Value& value : Product::kValues) {
        if (&value - Product::kValues == static_cast<std::ptrdiff_t>(ownValues))
            break;
        if (value.data == Product::Data::Number || value.data == Product::Data::Size)
            RegSetValueExW(keyOf(value), value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number);
        else
            RegSetValueExW(keyOf(value), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                           static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
    }
    keys.clear();

    // A marker that the new files are all in place, while the kept ones go.
    timeline.Enter(Finish);
    const std::wstring marker = dir + L"\\zs-done";
    Write(marker, "", 0);
    for (const std::wstring& old : kept)
        DeleteFileW(old.c_str());
    DeleteFileW(marker.c_str());

    Round round;
    round.total = Now() - start;
    round.phases = timeline.Spent();
    return round;
}
