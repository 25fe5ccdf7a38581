#pragma once

#include "system/StartRoute.h"

#include <windows.h>

#include <optional>

// The user and integrity level of a process opened with query access; none
// where its token cannot be read.
std::optional<TokenFacts> ProcessTokenFacts(HANDLE process);

// The same of the process that owns the window; none where there is no such
// window or its process cannot be read.
std::optional<TokenFacts> WindowOwnerFacts(HWND window);

// Whether the token holds the administrators' group for denying access only,
// as the filtered half of a split token does.
bool AdministratorsDenyOnly(HANDLE token);

// Whether the process's token is one half of a split token, as user account
// control makes for an administrator: the system links it to a second token
// of the same user, one of the two holding the administrators' group for
// denying only. The same user's programs that run without elevation then share
// its account. Where the token cannot be read, as if it were.
bool SplitToken(HANDLE process);
