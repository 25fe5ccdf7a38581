#pragma once

#include <string>

class LogSink;

// The finish action's start page, for the user of the SID text (empty: the
// installer's own), written as an action of the executor so that the log tells
// it as it tells every change. Raises as the registry layer does.
void SetStartPage(const std::wstring& user, LogSink& log);
