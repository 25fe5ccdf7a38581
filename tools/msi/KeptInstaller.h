// The installer that the package keeps, made safe to run with the system's
// rights: its folder and its file judged as found (nobody but the
// administrators and the system may have been able to change them), then
// given the access that the installer gives the product's folders, and the
// file held so that nobody can change or rename it, or the folder it lies
// in, until it has run.
#pragma once

#include <windows.h>

// The held file (close it once the installer has ended), or
// INVALID_HANDLE_VALUE with *why saying what stood in the way.
HANDLE HoldKeptInstaller(const wchar_t* exe, const wchar_t** why);
