#include "system/RunningCopies.h"

#include "system/DynamicApi.h"
#include "system/Elevation.h"
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
// (XP on; from Vista on the least query right suffices). Windows 2000, which
// has no such query, tells only the name in the process's own memory, through
// psapi.
class ImageQuery {
  public:
    DWORD Access() const { return vista_ ? kQueryLimited : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ; }

    std::wstring ImagePath(HANDLE process) const {
        // ULONG elements keep the name's header aligned.
        ULONG name[1024];
        ULONG size = 0;
        if (recorded_ &&
            NT_SUCCESS(NtQueryInformationProcess(process, kProcessImageFileName, name, sizeof name, &size))) {
            const auto* text = reinterpret_cast<const UNICODE_STRING*>(name);
            return DosPath(std::wstring(text->Buffer, text->Length / sizeof(wchar_t)));
        }
        wchar_t path[1024];
        return moduleName_ ? std::wstring(path, moduleName_(process, nullptr, path, 1024)) : std::wstring();
    }

  private:
    static constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
    static constexpr auto kProcessImageFileName = static_cast<PROCESSINFOCLASS>(27);
    DWORD version_ = Late::WindowsVersion();
    bool vista_ = LOBYTE(version_) >= 6;
    bool recorded_ = LOWORD(version_) != 0x0005;  // 5.0
    decltype(Late::GetModuleFileNameExW()) moduleName_ = vista_ ? nullptr : Late::GetModuleFileNameExW();
};

// The long form of a path, by which a copy started by its short name is
// known; the path as it is where it has none.
std::wstring LongForm(const std::wstring& path) {
    wchar_t buffer[1024];
    const DWORD length = GetLongPathNameW(path.c_str(), buffer, 1024);
    return length && length < 1024 ? std::wstring(buffer, length) : path;
}

// Whose the process is, and in which session: read as it is found, through
// its handle, whose query right reads its token too.
ClosedCopy Owner(HANDLE process, DWORD id) {
    ClosedCopy owner;
    owner.session = SessionOfProcess(id);
    if (const std::optional<TokenFacts> facts = ProcessTokenFacts(process))
        owner.user = facts->user;
    return owner;
}

}  // namespace

std::vector<RunningCopy> FindRunningCopies(const std::wstring& folder) {
    std::vector<RunningCopy> copies;
    // Where the folder holds none of the programs (a fresh installation),
    // nothing runs them, and no process is looked at.
    // The short form of each program's name, which a copy started by it runs under.
    std::wstring shortNames[std::size(Product::kPrograms)];
    unsigned installed = 0;
    for (unsigned i = 0; i < std::size(Product::kPrograms); ++i) {
        const std::wstring path = FormatText(L"%1\\%2", {folder, Product::kPrograms[i]});
        wchar_t shortPath[MAX_PATH];
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        if (!length || length >= MAX_PATH)
            continue;
        installed |= 1u << i;
        const std::wstring shortForm(shortPath, length);
        shortNames[i] = shortForm.substr(shortForm.rfind(L'\\') + 1);
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
                                           SameExecutableName(entry.szExeFile, shortNames[i])))
                continue;
            // The image is asked of the handle, so that a process that took
            // over the id since the snapshot is judged as itself, and compared
            // by the long form of its name (a short name, letter case aside),
            // never by what that name opens now: a folder on the way to it may
            // have been turned into a link to the install folder meanwhile.
            UniqueHandle process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | query.Access(), FALSE, entry.th32ProcessID));
            if (!process)
                break;
            if (SameName(LongForm(query.ImagePath(process.get())),
                         FormatText(L"%1\\%2", {folder, Product::kPrograms[i]}))) {
                ClosedCopy owner = Owner(process.get(), entry.th32ProcessID);
                copies.push_back({entry.th32ProcessID, i, std::move(process), std::move(owner)});
            }
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
