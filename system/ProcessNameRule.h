#pragma once

#include <string_view>

// Whether a running program's file name is the given executable name: equal
// once the letters A to Z are lower-cased, and nothing else changed.
bool SameExecutableName(std::wstring_view running, std::wstring_view wanted);
