#pragma once

#include <string>

class RegistryUndo;

// The browser's entry in the system's list of installed programs.
inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";
// A value of our own there: which shortcuts the installation made, in the
// command line's spelling, for the next one to keep.
inline constexpr wchar_t kShortcutOptionsValue[] = L"ShortcutOptions";

// The application-path and uninstall entries of the browser installed in
// installDir: twelve values in a fixed order, then the Uninstall entry's
// version (as text, and its first two numbers), the date, location, size
// (installedKib), its no-modify and no-repair flags, and the shortcut choice.
// What each value was before is noted in `undo`.
void WriteRegistrationEntries(const std::wstring& installDir,
                              unsigned long installedKib,
                              const std::wstring& shortcutOptions,
                              RegistryUndo& undo);

// Internet Explorer's start page, set to the partner navigation page, for the
// user of the SID text, whose hive must be loaded, or with an empty text for
// the installer's own user.
void WriteStartPage(const std::wstring& user);
