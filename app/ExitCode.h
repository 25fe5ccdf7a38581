#pragma once

#include "install/PathRules.h"

#include <string>

// The installer's exit codes: the Windows Installer's own, which deployment
// tools read without being told, and Windows' own for a package in use; the
// administrators' page (docs/administrators.md) lists them.
enum ExitCode : int {
    kInstalled = 0,              // also: the list of options was shown
    kCancelled = 1602,           // the user ended the wizard before the installation began
    kInstallationFailed = 1603,  // the installation stopped at an error
    kAnotherSetupRunning = 1618,
    kInstallerDamaged = 1620,  // a payload container is not as the build made it
    kLogNotOpened = 1622,
    kFolderRefused = 1625,   // the directory check refused the install folder
    kNewerInstalled = 1638,  // another version of the product, a newer one, is installed
    kInvalidCommandLine = 1639,
    kProgramsInUse = 15618,  // a running program would not close, and was not to be ended
};

// How a run ended.
enum class Outcome {
    Installed,
    HelpShown,
    Cancelled,
    Failed,
    AnotherSetupRunning,
    Damaged,
    LogNotOpened,
    FolderRefused,
    InvalidCommandLine,
    NewerInstalled,
    ProgramsInUse,
    Removed,
    NothingInstalled,
    RemovalCancelled,
    RemovalFailed,
    // The commands that Windows runs for a browser.
    DefaultSet,
    IconsHidden,
    IconsShown,
    Count,  // how many outcomes there are, for the table of their codes
};

// What a refusal of the directory check ends an unattended run with.
Outcome OutcomeOf(FolderRefusal refusal);

ExitCode ExitCodeOf(Outcome outcome);

// The log's last line: the outcome in words and its exit code.
std::wstring ResultLine(Outcome outcome);
