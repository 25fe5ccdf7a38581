#pragma once

#include "system/Product.h"

#include <string>

// The fifteen payloads in installation order. A payload name is the installed
// file name without its dot; it is also the name of the payload's resource,
// whose type is "my" followed by the name.
inline constexpr const auto& PayloadNames = Product::kPayloadNames;

// "Zarvoexe" gives "Zarvo.exe": a dot before the last three characters.
std::wstring PayloadFileName(const std::wstring& payloadName);

// Where the payload lands below the install directory: the folder and name
// that the product's table gives the payload of exactly that name (letter case
// included), else the file name in the install directory itself. The directory
// is used as it stands, so a trailing backslash doubles up.
std::wstring PayloadDestination(const std::wstring& installDir,
                                const std::wstring& payloadName,
                                const std::wstring& fileName);

// The resource type under which a payload is stored.
std::wstring PayloadResourceType(const std::wstring& payloadName);
