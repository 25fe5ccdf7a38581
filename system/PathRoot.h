#pragma once

#include <string>

// The root of a path's drive or share with its backslash: "C:\" for
// "C:\Apps\Zarvo", "\\server\share\" for "\\server\share\Apps"; the path
// itself, with a backslash added, where it is no more than a root.
std::wstring PathRoot(const std::wstring& path);
