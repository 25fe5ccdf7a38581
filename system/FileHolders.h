#pragma once

#include <string>

// The programs that hold the file open, as the system names them ("记事本,
// notepad.exe" style: their names, separated by commas); empty where the
// system cannot tell (before Vista, or when it does not know).
std::wstring ProgramsHolding(const std::wstring& path);
