#include "system/RunningCopies.h"

#include "system/DynamicApi.h"
#include "system/HeldFolder.h"
#include "system/MessageText.h"
#include "system/Privilege.h"
#include "system/ProcessNameRule.h"
#include "system/Product.h"

#include <winternl.h>

#include <iterator>

namespace {

static_assert(sizeof(PROCESSENTRY32W) == 556, "the snapshot entry of 32-bit Windows");

// The snapshot functions exist from Windows 2000 on (not in NT 4) and are
// looked up by name; without them there is nothing to find.
struct Toolhelp {
    decltype(Late::CreateToolhelp32Snapshot()) create = Late::CreateToolhelp32Snapshot();
    decltype(Late::Process32FirstW()) first = Late::Process32FirstW();
    decltype(Late::Process32NextW()) next = Late::Process32NextW();
    bool Available() const { return create && first && next; }
};

// Which file a running process was started from, asked of its handle: the
// name that the system recorded when it opened that file for the process
// (XP on; from Vista on the least query right suffices). Windows 2000 tells
// only the name in the process's own memory, through psapi.
class ImageQuery {
  public:
    DWORD Access() const { return vista_ ? kQueryLimited : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ; }

    std::wstring ImagePath(HANDLE process) const {
        // ULONG elements keep the name's header aligned.
        ULONG name[1024];
        ULONG size = 0;
        if (NT_SUCCESS(NtQueryInformationProcess(process, kProcessImageFileName, name, sizeof name, &size))) {
            const auto* text = reinterpret_cast<const UNICODE_STRING*>(name);
            return DosPath(std::wstring(text->Buffer, text->Length / sizeof(wchar_t)));
        }
        wchar_t path[1024];
        return moduleName_ ? std::wstring(path, moduleName_(process, nullptr, path, 1024)) : std::wstring();
    }

  private:
    static constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
    static constexpr auto kProcessImageFileName = static_cast<PROCESSINFOCLASS>(27);
    bool vista_ = LOBYTE(GetVersion()) >= 6;
    decltype(Late::GetModuleFileNameExW()) moduleName_ = vista_ ? nullptr : Late::GetModuleFileNameExW();
};

// A file as itself: its volume and its number there, which neither a short
// name, nor letter case, nor a link on the way changes.
struct FileIdentity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

// What the path opens, asked for its attributes only, which no sharing of
// another opener refuses; none where nothing can be opened there.
bool IdentityOf(const std::wstring& path, FileIdentity& identity) {
    const UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !GetFileInformationByHandle(file.get(), &information))
        return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return true;
}

// A program of the product as it lies in the install folder.
struct Installed {
    FileIdentity identity;
    // The name of its short form, which a copy started by it runs under.
    std::wstring shortName;
};

}  // namespace

std::vector<RunningCopy> FindRunningCopies(const std::wstring& folder) {
    std::vector<RunningCopy> copies;
    // Where the folder holds none of the programs (a fresh installation),
    // nothing runs them, and no process is looked at.
    Installed programs[std::size(Product::kPrograms)];
    unsigned installed = 0;
    for (unsigned i = 0; i < std::size(Product::kPrograms); ++i) {
        const std::wstring path = FormatText(L"%1\\%2", {folder, Product::kPrograms[i]});
        if (!IdentityOf(path, programs[i].identity))
            continue;
        installed |= 1u << i;
        wchar_t shortPath[MAX_PATH];
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        const std::wstring shortForm(shortPath, length < MAX_PATH ? length : 0);
        programs[i].shortName = shortForm.substr(shortForm.rfind(L'\\') + 1);
    }
    const Toolhelp toolhelp;
    if (!installed || !toolhelp.Available())
        return copies;
    // Only the process list is read, so only the process list is taken: the
    // heap, thread and module lists would make it several times as slow.
    const UniqueHandle snapshot(toolhelp.create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return copies;
    // Other accounts' processes open with the debug privilege; their handles
    // keep the rights they were opened with once it is dropped again.
    const DebugPrivilege enabled;
    const ImageQuery query;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolhelp.first(snapshot.get(), &entry); more; more = toolhelp.next(snapshot.get(), &entry)) {
        for (unsigned i = 0; i < std::size(Product::kPrograms); ++i) {
            if (!(installed >> i & 1) || !(SameExecutableName(entry.szExeFile, Product::kPrograms[i]) ||
                                           SameExecutableName(entry.szExeFile, programs[i].shortName)))
                continue;
            // The image is asked of the handle, so that a process that took
            // over the id since the snapshot is judged as itself, and is the
            // product's where the file it was started from is the program in
            // the folder, however its path was spelt: a link re-pointed since
            // can at most make another's program look like ours, which is
            // then asked to close, as its owner could do.
            UniqueHandle process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | query.Access(), FALSE, entry.th32ProcessID));
            if (!process)
                break;
            FileIdentity image;
            if (IdentityOf(query.ImagePath(process.get()), image) && image == programs[i].identity)
                copies.push_back({entry.th32ProcessID, i, std::move(process)});
            break;
        }
    }
    return copies;
}

std::wstring ProgramNames(unsigned programs) {
    std::wstring names;
    for (unsigned i = 0; i < std::size(Product::kPrograms); ++i)
        if (programs >> i & 1)
            names.append(names.empty() ? L"" : L"、").append(Product::kPrograms[i]);
    return names;
}
