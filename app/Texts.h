#pragma once

// The texts of the installer's own flow, in its boxes and its log, each named
// by what it says; "%1" and "%2" mark what FormatText puts in. The pages'
// texts are the window's (ui/Texts.h); the outcomes' words go with their exit
// codes (app/ExitCode.cpp); the command line's with its options
// (app/CommandLine.cpp).

// The title of the dialog that picks the install folder.
extern const wchar_t kChooseFolderTitle[];
// The wizard's box before the check's folder is taken: the programs that run from it (%1) will be closed.
extern const wchar_t kProgramsWillCloseQuestion[];
// The box about programs (%1) that were asked to close and still run.
extern const wchar_t kProgramsDidNotCloseQuestion[];
// A payload container is not as the build made it.
extern const wchar_t kDamagedText[];
// Another copy of the installer holds the setup lock.
extern const wchar_t kAnotherSetupText[];
// The wizard asks before a newer release (%1) is replaced by this one (%2).
extern const wchar_t kNewerQuestion[];
// The log of an unattended run that a newer release (%1) stops.
extern const wchar_t kNewerRefused[];
// The log file (%1) cannot be made, for the reason (%2).
extern const wchar_t kLogNotOpenedText[];
// The reason when the log would lie in the folder that the run changes.
extern const wchar_t kLogInFolder[];
// A removal with no Uninstall entry to take.
extern const wchar_t kNothingInstalled[];
// The log's line with the command line.
extern const wchar_t kCommandLineLine[];
// The log's line with the folder that the check takes.
extern const wchar_t kInstallFolderLine[];
// Cancel asked about, in the installation.
extern const wchar_t kLeaveInstallationQuestion[];
// Cancel asked about, in the removal.
extern const wchar_t kLeaveRemovalQuestion[];
// The log's first line, the installer and its version, and the line of the
// time that the run started, whose digits are written over its zeros.
extern const wchar_t kLogTitleLine[];
extern const wchar_t kStartTimeLine[25];
