#pragma once

#include <string>

// What a complete installation leaves, checked with GoogleTest's expectations
// by the in-process tests and by the tests that run the installer itself.

inline constexpr wchar_t kAppPaths[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Zarvo.exe";
inline constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";

std::wstring DesktopLink();
std::wstring ProgramGroup();

// The plain file a payload is made from: a file of the source tree, or a
// stand-in program built with the installer.
std::wstring PlainSource(const std::wstring& payload);

// The fifteen files with the bytes they were made from, and the folders that
// stay empty.
void ExpectFilesInstalled(const std::wstring& dir);

// The files, the seventeen registry values and the five shortcuts.
void ExpectProductInstalled(const std::wstring& dir);
