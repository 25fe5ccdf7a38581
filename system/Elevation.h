#pragma once

#include "system/StartRoute.h"

#include <windows.h>

#include <optional>

// Whether the installer holds the elevated half of a split token: from Vista
// on with user account control, where programs of the same user run beside it
// without administrator rights. Windows 2000 and XP, and Vista and later with
// user account control switched off, answer no.
bool ElevatedBesideLimitedUser();

// The user and integrity level of a process opened with query access; none
// where its token cannot be read.
std::optional<TokenFacts> ProcessTokenFacts(HANDLE process);

// The same of the process that owns the window; none where there is no such
// window or its process cannot be read.
std::optional<TokenFacts> WindowOwnerFacts(HWND window);
