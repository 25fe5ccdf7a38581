#pragma once

#include "install/Plan.h"
#include "system/Product.h"

#include <optional>
#include <string>

// How the installer meets the user.
enum class SetupMode {
    Wizard,   // every page, as always
    Passive,  // the copying page only: nothing to press, no box, the window closes at the end
    Quiet,    // /S, /quiet: no window and no box at all
};

// What the command line asks for.
struct SetupOptions {
    SetupMode mode = SetupMode::Wizard;
    std::optional<std::wstring> directory;  // /D=folder: the install directory instead of the default
    std::wstring logFile;                   // /log file, /LOG=file: where the run writes what it did
    bool help = false;                      // /help, /?: the list of options, nothing else
    bool uninstall = false;                 // /uninstall: removes the installed product instead
    // /Reinstall, /HideIcons, /ShowIcons: a command that Windows runs for a
    // browser, of the installed product, without a window; taken alone, as
    // Windows runs it (the run's log is kept beside the installer).
    ShellCommand command = ShellCommand::None;
    bool allowDowngrade = false;            // /AllowDowngrade: replaces a newer release without asking
    // /DesktopShortcut=true|false, /StartMenuShortcut=true|false
    Product::ShortcutChoice shortcuts;
    // /NoForceCloseApplications: a running program of the product that will
    // not close is never ended; the installation then stops, changing nothing.
    bool forceClose = true;
    // /NoRestartApplications: the browser that the installation closed is not
    // started again once it is done.
    bool restart = true;
    // The first option that is not taken or stands where it does not belong;
    // the run then does nothing but say so.
    std::optional<std::wstring> refused;
};

// Reads the options after the program's name. /D= takes the rest of the line,
// as installers have always read it; an option after it is read (so that /S
// still keeps every box away) and refused, as is anything ambiguous.
// /uninstall takes none of the options that only an installation reads.
// A command takes no other option: Windows runs it as it stands.
SetupOptions ParseCommandLine(const std::wstring& arguments);

// The choice in the options' own spelling ("/DesktopShortcut=false
// /StartMenuShortcut=true"), each place made unless chosen otherwise: what
// the Uninstall entry records, and an upgrade reads back with
// ParseCommandLine.
std::wstring ShortcutOptionsText(const Product::ShortcutChoice& shortcuts);

// The list of options, as /help shows it.
std::wstring UsageText();
// What the installer says about a command line that it refuses.
std::wstring RefusedOptionText(const std::wstring& option);
