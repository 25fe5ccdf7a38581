// Stands in for the web browser while the GUI tests run: the test makes it the
// handler of http addresses. Usage: urllogger LOGFILE URL. It appends the URL
// after its own creation time, which orders the calls however the processes
// happen to be scheduled, and whether the debug privilege is enabled in its
// token, as its starter handed it on (1) or not (0).
#include <windows.h>

#include <cstdio>

namespace {

bool DebugPrivilegeEnabled() {
    HANDLE token = nullptr;
    PRIVILEGE_SET privileges{1, PRIVILEGE_SET_ALL_NECESSARY, {}};
    BOOL enabled = FALSE;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privilege[0].Luid))
            PrivilegeCheck(token, &privileges, &enabled);
        CloseHandle(token);
    }
    return enabled;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long when =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    // Several loggers may write at once; the file is opened exclusively.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileW(argv[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (log == INVALID_HANDLE_VALUE) {
            Sleep(10);
            continue;
        }
        char line[2048];
        const int length = snprintf(line, sizeof line, "%llu %d %ls\n", when, DebugPrivilegeEnabled(), argv[2]);
        DWORD written = 0;
        WriteFile(log, line, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(log);
        return 0;
    }
    return 1;
}
