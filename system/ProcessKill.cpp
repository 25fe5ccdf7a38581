#include "system/ProcessKill.h"

#include "system/DynamicApi.h"
#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/Privilege.h"
#include "system/ProcessNameRule.h"

#include <winternl.h>

namespace {

static_assert(sizeof(PROCESSENTRY32W) == 556, "the snapshot entry of 32-bit Windows");

// How long to wait for one ended program to let go of its files.
constexpr DWORD kExitWaitMs = 5000;

// The snapshot functions exist from Windows 2000 on (not in NT 4) and are
// looked up by name; without them there is nothing to end.
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

enum class Ending { NotOurs, Ended, Failed };

// Ends the process when it runs the installed file, asked of its handle and
// compared by name, never opened again (a folder on the way may lead elsewhere
// by now); the wait lets it release its executable.
Ending EndIfInstalled(DWORD processId, const std::wstring& installed, const ImageQuery& query, LogSink& log) {
    const UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | query.Access(), FALSE, processId));
    if (!process)
        return Ending::NotOurs;
    const std::wstring image = query.ImagePath(process.get());
    if (!SameName(image, installed))
        return Ending::NotOurs;
    const DWORD start = GetTickCount();
    if (!TerminateProcess(process.get(), 0))
        return Ending::Failed;
    WaitForSingleObject(process.get(), kExitWaitMs);
    log.Line({L"已结束程序：", image, L"（进程 ", DecimalText(processId), L"，", DecimalText(GetTickCount() - start),
              L" 毫秒）"});
    return Ending::Ended;
}

}  // namespace

// Out of line: inlined into the executor's one switch of actions, it weighs some 300
// bytes more.
[[gnu::noinline]] bool EndInstalledCopies(const std::wstring& executableName,
                                          const HeldFolder& installFolder,
                                          LogSink& log) {
    const DebugPrivilege enabled;
    // Only copies that run the install folder's own file hold it open; a
    // program of the same name elsewhere is someone else's and keeps running.
    // The system names a program by where its file was, through no link.
    const std::wstring installed = FormatText(L"%1\\%2", {installFolder.Path(), executableName});
    // Where the folder holds no file of that name (a fresh installation),
    // nothing runs it, and no process is looked at. The folder is held, and
    // its path leads there through no link.
    const Toolhelp toolhelp;
    if (GetFileAttributesW(installed.c_str()) == INVALID_FILE_ATTRIBUTES || !toolhelp.Available())
        return false;
    // Only the process list is read, so only the process list is taken: the
    // heap, thread and module lists would make it several times as slow.
    UniqueHandle snapshot(toolhelp.create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    const ImageQuery query;
    bool result = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolhelp.first(snapshot.get(), &entry); more; more = toolhelp.next(snapshot.get(), &entry)) {
        if (!SameExecutableName(entry.szExeFile, executableName))
            continue;
        const Ending ending = EndIfInstalled(entry.th32ProcessID, installed, query, log);
        if (ending != Ending::NotOurs)
            result = ending == Ending::Ended;
    }
    return result;
}
