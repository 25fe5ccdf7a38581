#pragma once

#include "system/StartRoute.h"

#include <string>
#include <vector>

class LogSink;

// Starts the browser's file `program` again for the user of each closed copy,
// once for each user and session, by the road that PlanRestart gives: never
// with the installer's own rights, never as another user. The log says what
// was started, for whom, and what could not be. True where it was started
// for the installer's own user, through the desktop shell.
bool StartAgain(const std::vector<ClosedCopy>& copies, const std::wstring& program, LogSink& log);
