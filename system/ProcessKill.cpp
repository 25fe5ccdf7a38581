#include "app/InstallMain.h"
#include "system/DynamicApi.h"
#include "system/MessageText.h"
#include "system/ProcessNameRule.h"
#include "system/RunLog.h"

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

// Which file a running process was started from, asked of its handle. From
// Vista on the system tells anyone with the least query right; before, psapi
// reads it from the process's memory.
class ImageQuery {
  public:
    DWORD Access() const { return fullName_ ? kQueryLimited : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ; }

    std::wstring ImagePath(HANDLE process) const {
        wchar_t path[1024] = {};
        DWORD size = 1024;
        if (fullName_)
            return fullName_(process, 0, path, &size) ? std::wstring(path, size) : std::wstring();
        if (moduleName_)
            return std::wstring(path, moduleName_(process, nullptr, path, size));
        return std::wstring();
    }

  private:
    static constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
    using FullName = BOOL(WINAPI*)(HANDLE, DWORD, wchar_t*, DWORD*);
    using ModuleName = DWORD(WINAPI*)(HANDLE, HMODULE, wchar_t*, DWORD);
    FullName fullName_ = SystemFunction<FullName>(L"kernel32.dll", "QueryFullProcessImageNameW");
    ModuleName moduleName_ = fullName_ ? nullptr : SystemFunction<ModuleName>(L"psapi.dll", "GetModuleFileNameExW");
};

// A file as the file system knows it: one file has many texts (short and
// long names, letter case, links on the way) but one volume and index.
struct FileId {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FileId& other) const {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

// The file at the path; with `atName`, what stands at the last name itself,
// whatever it leads to.
bool IdOf(const std::wstring& path, bool atName, FileId& id) {
    const UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        atName ? FILE_FLAG_OPEN_REPARSE_POINT : 0, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !GetFileInformationByHandle(file.get(), &information))
        return false;
    id = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return true;
}

enum class Ending { NotOurs, Ended, Failed };

// Ends the process when it runs the installed file. Its image is asked of the
// handle, so that a process that took over the id since the snapshot is
// judged as itself. Termination only asks for the end; the wait lets the
// process release its executable before the installer replaces it.
Ending EndIfInstalled(DWORD processId, const FileId& installed, const ImageQuery& query, RunLog& log) {
    const UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | query.Access(), FALSE, processId));
    if (!process)
        return Ending::NotOurs;
    const std::wstring image = query.ImagePath(process.get());
    FileId id;
    if (image.empty() || !IdOf(image, false, id) || !(id == installed))
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

bool TInstallForm::KillProcessByName(const std::wstring& executableName, const std::wstring& installDir, RunLog& log) {
    // Only copies that run the install folder's own file hold it open; a
    // program of the same name elsewhere is someone else's and keeps running.
    FileId installed;
    const Toolhelp toolhelp;
    if (!IdOf(installDir + L"\\" + executableName, true, installed) || !toolhelp.Available())
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
