#pragma once

// The texts of the system layer that a user or the log reads, each named by
// what it says; "%1" to "%5" mark what FormatText puts in.

// Why a program that did not close was ended.
extern const wchar_t kNoWindowReason[];
extern const wchar_t kNotRespondingReason[];
extern const wchar_t kRefusedToCloseReason[];
extern const wchar_t kNotExitedInTimeReason[];
// Why a program that was asked to close went.
extern const wchar_t kExitedOnRequestReason[];
extern const wchar_t kExitedByItselfReason[];
// The log's line of a program (%2, process %3) closed or ended (%1) for a reason (%4), %5 ms into the run.
extern const wchar_t kProgramGoneLine[];
extern const wchar_t kClosedWord[];
extern const wchar_t kEndedWord[];
// The log's line of a program (%1, process %2) that could not be ended, and why (%3).
extern const wchar_t kProgramNotEndedLine[];
// The status while the programs named after it are waited for.
extern const wchar_t kWaitingForProgramsStatus[];

// A browser to start again (%1), for its user (%2) in their session (%3).
extern const wchar_t kBrowserOfUser[];
// The log's lines of a browser started again, or not, and why.
extern const wchar_t kStartedAgainLine[];
extern const wchar_t kNotStartedNoShellLine[];
extern const wchar_t kNotStartedAsUserLine[];
// Not started (%1), for the system's reason (%2).
extern const wchar_t kNotStartedLine[];

// The time that a step of the log took (%1 ms), ending its line.
extern const wchar_t kStepTimeEnd[];

// An error's text (%1) with the system's code (%2).
extern const wchar_t kWithErrorCode[];
extern const wchar_t kOutOfMemory[];
extern const wchar_t kUnexpectedError[];
// A code (%1) that the system has no text for.
extern const wchar_t kSystemErrorCode[];
extern const wchar_t kInterfaceNotSupported[];
extern const wchar_t kStreamWriteError[];
// A file (%1) that cannot be created, the system's reason (%2) and what more is known (%3).
extern const wchar_t kCannotCreateFile[];
// An embedded resource (%1) that is missing.
extern const wchar_t kResourceNotFound[];
// The registry's failures at a value (%1), or at a key (%1) with the system's reason (%2).
extern const wchar_t kCannotGetData[];
extern const wchar_t kInvalidDataType[];
extern const wchar_t kCannotSetData[];
extern const wchar_t kCannotCreateKey[];
extern const wchar_t kCannotOpenKey[];
// The texts of I/O errors by their code; the last for any other code (%1).
extern const wchar_t kFileNotFound[];
extern const wchar_t kPathNotFound[];
extern const wchar_t kTooManyOpenFiles[];
extern const wchar_t kFileAccessDenied[];
extern const wchar_t kReadBeyondEnd[];
extern const wchar_t kDiskFull[];
extern const wchar_t kInvalidNumericInput[];
extern const wchar_t kIoError[];
