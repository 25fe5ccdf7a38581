#pragma once

#include <string>

// Whether a running program's file name is the given executable name: equal
// once the letters A to Z are lower-cased, and nothing else changed.
bool SameExecutableName(const std::wstring& running, const std::wstring& wanted);
