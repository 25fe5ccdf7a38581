#include "system/FileHolders.h"

#include "system/DynamicApi.h"

#include <restartmanager.h>

namespace {

// The restart manager's session, from its start to its end.
class RestartSession {
  public:
    using Start = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
    using End = DWORD(WINAPI*)(DWORD);

    RestartSession() {
        const auto start = SystemFunction<Start>(L"rstrtmgr.dll", "RmStartSession");
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        open_ = start && start(&session_, 0, key) == ERROR_SUCCESS;
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;
    ~RestartSession() {
        if (open_)
            SystemFunction<End>(L"rstrtmgr.dll", "RmEndSession")(session_);
    }

    bool Open() const { return open_; }
    DWORD Id() const { return session_; }

  private:
    DWORD session_ = 0;
    bool open_ = false;
};

}  // namespace

std::wstring ProgramsHolding(const std::wstring& path) {
    using Register = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
    using List = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
    const RestartSession session;
    const auto enlist = SystemFunction<Register>(L"rstrtmgr.dll", "RmRegisterResources");
    const auto list = SystemFunction<List>(L"rstrtmgr.dll", "RmGetList");
    LPCWSTR files[] = {path.c_str()};
    if (!session.Open() || !enlist || !list || enlist(session.Id(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
        return std::wstring();
    // The first few are enough to name.
    RM_PROCESS_INFO programs[4];
    UINT needed = 0;
    UINT count = 4;
    DWORD reasons = 0;
    const DWORD result = list(session.Id(), &needed, &count, programs, &reasons);
    std::wstring names;
    for (UINT i = 0; (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && i < count && i < 4; ++i)
        names += (names.empty() ? L"" : L", ") + std::wstring(programs[i].strAppName);
    return names;
}
