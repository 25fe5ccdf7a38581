#pragma once

#include <windows.h>

// Enables the privilege in the token of the process, or disables it; true
// when the system took the request (which says nothing of whether the token
// holds the privilege).
bool SetPrivilege(HANDLE process, const wchar_t* privilegeName, bool enable);
