#include "system/FileHolders.h"

#include "system/DynamicApi.h"

namespace {

// The restart manager's session, from its start to its end.
class RestartSession {
  public:
    explicit RestartSession(HMODULE library) : end_(Late::RmEndSession(library)) {
        const auto start = Late::RmStartSession(library);
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        open_ = start && end_ && start(&session_, 0, key) == ERROR_SUCCESS;
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;
    ~RestartSession() {
        if (open_)
            end_(session_);
    }

    bool Open() const { return open_; }
    DWORD Id() const { return session_; }

  private:
    decltype(Late::RmEndSession()) end_;
    DWORD session_ = 0;
    bool open_ = false;
};

}  // namespace

std::wstring ProgramsHolding(const std::wstring& path) {
    std::wstring names;
    const HMODULE library = LoadSystemLibrary(L"rstrtmgr.dll");
    if (!library)
        return names;
    const RestartSession session(library);
    const auto enlist = Late::RmRegisterResources(library);
    const auto list = Late::RmGetList(library);
    LPCWSTR files[] = {path.c_str()};
    // The first few are enough to name.
    RM_PROCESS_INFO programs[4];
    UINT needed = 0;
    UINT count = 4;
    DWORD reasons = 0;
    if (!session.Open() || !enlist || !list || enlist(session.Id(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
        return names;
    // Only an answer without more to tell fills the list, up to its count;
    // with more programs than that, none is named.
    if (list(session.Id(), &needed, &count, programs, &reasons) != ERROR_SUCCESS)
        return names;
    for (UINT i = 0; i < count && i < 4; ++i)
        names.append(names.empty() ? L"" : L", ").append(programs[i].strAppName);
    return names;
}
