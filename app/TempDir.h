#pragma once

#include <string>

// The user's temporary directory without its trailing backslash. The buffer
// receives the system's raw answer; it grows when the path does not fit, so a
// path of any length works.
std::wstring ReadTempDir(std::wstring& buffer);
