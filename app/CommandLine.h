#pragma once

#include <optional>
#include <string>

// What the command line asks for. Without /S the wizard runs as always and
// the other options are not looked at.
struct SetupOptions {
    bool unattended = false;                // /S: install without a window or a box
    std::optional<std::wstring> directory;  // /D=folder: the install directory instead of the default
    std::wstring logFile;                   // /LOG=file: where an unattended run writes what it did
};

// Reads the options from the command line after the program's name. Options
// are separated by blanks and their names match in any letter case; an option
// that stands in quotes as a whole is read as if it did not. /D= comes last
// and takes the rest of the line, blanks included, as installers have always
// read it; blanks that end the line are dropped, since no folder name ends in
// one. Anything else is ignored.
SetupOptions ParseCommandLine(const std::wstring& arguments);
