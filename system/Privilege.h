#pragma once

#include <windows.h>

// Enables the privilege in the token of the process, or disables it; true
// when the system took the request (which says nothing of whether the token
// holds the privilege).
bool EnablePrivilege(HANDLE process, const wchar_t* privilegeName, bool enable = true);

// The debug privilege, which opens other accounts' processes, enabled for a
// scope only: a program started later inherits the token as it is then.
class DebugPrivilege {
  public:
    DebugPrivilege() { EnablePrivilege(GetCurrentProcess(), kName); }
    ~DebugPrivilege() { EnablePrivilege(GetCurrentProcess(), kName, false); }
    DebugPrivilege(const DebugPrivilege&) = delete;
    DebugPrivilege& operator=(const DebugPrivilege&) = delete;

  private:
    static constexpr wchar_t kName[] = L"SeDebugPrivilege";
};
