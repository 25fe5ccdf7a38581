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
