#pragma once

// The texts of the installation and the removal that a user or the log reads,
// each named by what it says; "%1" to "%3" mark what FormatText puts in. The
// log names each change by its step's verb and the place after it.

// The status texts of the plan, some followed by what it works on.
extern const wchar_t kMakingFoldersStatus[];
extern const wchar_t kCheckingUseStatus[];
extern const wchar_t kUpdatingKeysStatus[];
extern const wchar_t kDeletingTemporaryStatus[];
extern const wchar_t kMakingShortcutsStatus[];
extern const wchar_t kExtractingStatus[];
extern const wchar_t kDecompressingStatus[];
extern const wchar_t kDeletingStatus[];
// The notes of the plan: a removal whose folder is gone, and an earlier run
// settled (undone, finished, or finished with leftovers that could not go).
extern const wchar_t kFolderGoneNote[];
extern const wchar_t kEarlierRunUndoneNote[];
extern const wchar_t kEarlierRunFinished[];
extern const wchar_t kEarlierRunLeftFilesNote[];

// The verbs of the steps that change the machine.
extern const wchar_t kMakeFolderVerb[];
extern const wchar_t kCloseProgramsVerb[];
extern const wchar_t kDiscardVerb[];
extern const wchar_t kPutBackVerb[];
extern const wchar_t kRestoreVerb[];
extern const wchar_t kSetAsideVerb[];
extern const wchar_t kJournalVerb[];
extern const wchar_t kHoldVerb[];
extern const wchar_t kCopyVerb[];
extern const wchar_t kWriteVerb[];
extern const wchar_t kPlaceVerb[];
extern const wchar_t kSetValueVerb[];
extern const wchar_t kFinishVerb[];
extern const wchar_t kAtRestartVerb[];
extern const wchar_t kStartAgainVerb[];
extern const wchar_t kRemoveVerb[];
extern const wchar_t kDeleteValueVerb[];
extern const wchar_t kForgetVerb[];
extern const wchar_t kRemoveFolderVerb[];
extern const wchar_t kRemoveKeyVerb[];
// The start page's value, written in a user's hive (the key follows).
extern const wchar_t kSetUserValueVerb[];

// The executor's lines: an undo, and a step (%1) that failed or whose undo
// failed, for the reason (%2).
extern const wchar_t kUndoLine[];
extern const wchar_t kFailedLine[];
extern const wchar_t kUndoFailedLine[];

// What the steps tell the log of what they left, each before or after what it names.
extern const wchar_t kJournalNotUsedLine[];
extern const wchar_t kNotSetAsideLine[];
extern const wchar_t kLinkKeptLine[];
extern const wchar_t kKeptInstallerHeldLine[];
extern const wchar_t kLeftForNextInstallLine[];
extern const wchar_t kLeftForNextRemovalLine[];
extern const wchar_t kDeletedAtRestartLine[];
extern const wchar_t kEntryKeptLine[];
extern const wchar_t kKeptNotEmptyLine[];
extern const wchar_t kStartPageNotWrittenLine[];

// Why a journal left by an earlier run is not used.
extern const wchar_t kJournalNotAdminsReason[];
extern const wchar_t kJournalTooLargeReason[];
extern const wchar_t kJournalUnreadableReason[];
extern const wchar_t kJournalForeignValuesReason[];

// The directory check's refusals, the folder in them (%1): the text is
// unusable, changed meanwhile, an installed copy's folder that is not the
// product's; and the unsafe ones, in the order of FolderRisk.
extern const wchar_t kFolderUnusableText[];
extern const wchar_t kFolderChangedText[];
extern const wchar_t kInstalledFolderElsewhereText[];
extern const wchar_t kInstalledFolderEmptyText[];
extern const wchar_t* const kFolderUnsafeTexts[4];
// The kept installer's folder (%1) that another account could change.
extern const wchar_t kKeptFolderUnsafeText[];
// Too little room on the install folder's disk (%1 MB needed, the folder %2,
// %3 MB free), or on the temporary folder's (%1, %2 MB needed, %3 MB free).
extern const wchar_t kNoRoomText[];
extern const wchar_t kNoTemporaryRoomText[];

// The error of programs (%1) that did not close, and of a file in use by
// programs (%1).
extern const wchar_t kProgramsDidNotCloseText[];
extern const wchar_t kInUseByText[];
// A key (%1) that cannot be deleted, with the system's reason (%2).
extern const wchar_t kCannotDeleteKey[];
