#include "system/Privilege.h"

#include "system/Handles.h"

bool EnablePrivilege(HANDLE process, const wchar_t* privilegeName, bool enable) {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES, &rawToken))
        return false;
    UniqueHandle token(rawToken);
    TOKEN_PRIVILEGES request{};
    if (!LookupPrivilegeValueW(nullptr, privilegeName, &request.Privileges[0].Luid))
        return false;
    request.PrivilegeCount = 1;
    request.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    DWORD returnLength = 0;
    return AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof request, nullptr, &returnLength) != FALSE;
}
