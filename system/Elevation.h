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

// Whether user account control split the token: the same user's programs
// without elevation then share its account. Unreadable counts as split.
bool SplitToken(HANDLE process);
