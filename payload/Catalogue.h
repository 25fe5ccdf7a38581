#pragma once

#include <string>

// The fifteen payloads in installation order. A payload name is the installed
// file name without its dot; it is also the name of the payload's resource,
// whose type is "my" followed by the name.
inline constexpr const wchar_t* PayloadNames[] = {
    L"whatsnewtxt",  L"ZarvConfigini",  L"Zarvoexe",         L"ZarvServiceexe", L"BugReportexe",
    L"Lisensetxt",   L"ZarvLibrarydll", L"ZarvResourcesdll", L"ZarvZipdll",     L"ZarvUpdateexe",
    L"Uninstallexe", L"defaultzsk",     L"x0804ini",         L"x0404ini",       L"x0409ini",
};

// "Zarvoexe" gives "Zarvo.exe": a dot before the last three characters.
std::wstring PayloadFileName(const std::wstring& payloadName);

// Where the payload lands below the install directory. The comparison with
// the fixed names is exact, letter case included; the directory is used as it
// stands, so a trailing backslash doubles up.
std::wstring PayloadDestination(const std::wstring& installDir,
                                const std::wstring& payloadName,
                                const std::wstring& fileName);

// The resource type under which a payload is stored.
std::wstring PayloadResourceType(const std::wstring& payloadName);
