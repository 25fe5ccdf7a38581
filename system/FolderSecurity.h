#pragma once

#include "system/Handles.h"
#include "system/HeldFolder.h"

#include <windows.h>

#include <string>

// Who besides the administrators could change a folder: programs registered
// there later run with administrator rights.

enum class FolderRisk {
    None,
    ForeignOwner,      // owned by another account, which may change its access list at will
    OthersMayChange,   // another account may write, add, delete, or change its access list or owner
    OthersMayReplace,  // a folder above lets another account rename or replace what lies below it
    InUse,             // another program holds it open, shared with nobody, so that it cannot be judged
};

// Whom a verdict trusts besides the administrators, the system and the
// Windows installer service: the installer's own account (as its SID's
// text; empty for none), and the Power Users.
struct FolderTrust {
    std::wstring self;
    bool powerUsers = false;
};

// The installer's own trust: its account unless the token is split, and the
// Power Users of Windows 2000 and XP, who may change installed programs there.
FolderTrust InstallerTrust();

// What a folder's security descriptor allows, for the folder in its place:
// the install folder itself (also what its access list hands on to the files
// made inside), a link on the way there, a folder above it, or the root of its
// drive.
enum class FolderPlace { Install, Link, Above, Root };
FolderRisk JudgeDescriptor(PSECURITY_DESCRIPTOR descriptor, FolderPlace place, const FolderTrust& trust);

struct FolderVerdict {
    FolderRisk risk = FolderRisk::None;
    std::wstring folder;  // the folder that carries the risk
};

// The verdict on the install folder as typed, before anything is made: every
// folder on the way from the drive's root that already exists, a link as
// itself (JudgeHeldFolder judges where it leads).
FolderVerdict JudgeInstallPath(const std::wstring& dir);

// The verdict on a held install folder (or, `below`, on the folder that the
// install folder is to be made in) and every folder above it, where it is;
// `dir` names it in the verdict.
FolderVerdict JudgeHeldFolder(const HeldFolder& folder, const std::wstring& dir, bool below = false);

// The verdict on a file held in the install folder, judged as the folder is:
// by its owner and by who else may change it.
FolderRisk JudgeFile(HANDLE file);

// The security descriptor of every folder that the installer makes for the
// product: administrators and the system may do anything, users read and run,
// and everything made inside inherits that, whatever lies above.
UniqueLocalMemory ProductFolderSecurity();
