#pragma once

#include "system/StartRoute.h"

#include <windows.h>

#include <optional>

// The user and integrity level of a process opened with query access, or of
// a token opened for query; none where its token cannot be read.
std::optional<TokenFacts> ProcessTokenFacts(HANDLE process);
std::optional<TokenFacts> TokenHandleFacts(HANDLE token);

// The terminal-services session of the process of that id; 0 (the console's
// on Windows 2000 and XP) where the system cannot tell.
unsigned long SessionOfProcess(DWORD id);

// The same of the process that owns the window; none where there is no such
// window or its process cannot be read.
std::optional<TokenFacts> WindowOwnerFacts(HWND window);

// Whether the token holds the administrators' group for denying access only,
// as the filtered half of a split token does.
bool AdministratorsDenyOnly(HANDLE token);

// Whether user account control split the token: the same user's programs
// without elevation then share its account. Unreadable counts as split.
bool SplitToken(HANDLE process);
