#include "app/InstallMain.h"
#include "system/DynamicApi.h"
#include "system/ProcessNameRule.h"

#include <tlhelp32.h>

namespace {

static_assert(sizeof(PROCESSENTRY32W) == 556, "the snapshot entry of 32-bit Windows");

// How long to wait for one ended program to let go of its files.
constexpr DWORD kExitWaitMs = 5000;

// The snapshot functions exist from Windows 2000 on (not in NT 4) and are
// looked up by name; without them there is nothing to end.
struct Toolhelp {
    using Create = HANDLE(WINAPI*)(DWORD, DWORD);
    using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
    Create create = SystemFunction<Create>(L"kernel32.dll", "CreateToolhelp32Snapshot");
    Walk first = SystemFunction<Walk>(L"kernel32.dll", "Process32FirstW");
    Walk next = SystemFunction<Walk>(L"kernel32.dll", "Process32NextW");
    bool Available() const { return create && first && next; }
};

// Ends one process. Termination only asks for the end; the wait lets the
// process release its executable before the installer overwrites it.
bool EndProcess(DWORD processId) {
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    const bool canWait = static_cast<bool>(process);
    if (!canWait)
        process.reset(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (!process || !TerminateProcess(process.get(), 0))
        return false;
    if (canWait)
        WaitForSingleObject(process.get(), kExitWaitMs);
    return true;
}

}  // namespace

bool TInstallForm::KillProcessByName(const std::wstring& executableName) {
    const Toolhelp toolhelp;
    if (!toolhelp.Available())
        return false;
    // Only the process list is read, so only the process list is taken: the
    // heap, thread and module lists would make it several times as slow.
    UniqueHandle snapshot(toolhelp.create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    bool result = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolhelp.first(snapshot.get(), &entry); more; more = toolhelp.next(snapshot.get(), &entry))
        if (SameExecutableName(entry.szExeFile, executableName))
            result = EndProcess(entry.th32ProcessID);
    return result;
}
