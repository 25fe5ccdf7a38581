#pragma once

#include "system/HeldFolder.h"

#include <string>

class LogSink;

// Ends every running process of that executable name whose image the system
// names as the file of that name in the held install folder, and logs each;
// true when the last termination request succeeded. The debug privilege, which
// opens other accounts' processes, is enabled for the call only.
bool EndInstalledCopies(const std::wstring& executableName, const HeldFolder& installFolder, LogSink& log);
