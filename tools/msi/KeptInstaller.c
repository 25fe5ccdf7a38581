#include "KeptInstaller.h"

#include <aclapi.h>
#include <sddl.h>

#include <stdlib.h>
#include <wchar.h>

// Rights that change a file or a folder, or what lies in it.
#define CHANGE_RIGHTS                                                                                          \
    (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | \
     WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL)

static BOOL IsNtAccount(PSID sid, BYTE count, DWORD first, DWORD second) {
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID account = NULL;
    if (!AllocateAndInitializeSid(&nt, count, first, second, 0, 0, 0, 0, 0, 0, &account))
        return FALSE;
    const BOOL same = EqualSid(sid, account);
    FreeSid(account);
    return same;
}

// The administrators, the system, the Windows installer service (which
// Program Files hands on), and the account that the action runs as, which
// for the package's deferred actions is the system's.
static BOOL Trusted(PSID sid, PSID self) {
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID service = NULL;
    BOOL trusted = EqualSid(sid, self) || IsNtAccount(sid, 1, SECURITY_LOCAL_SYSTEM_RID, 0) ||
                   IsNtAccount(sid, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    if (!trusted && AllocateAndInitializeSid(&nt, 6, SECURITY_SERVICE_ID_BASE_RID, 956008885, 3418522649, 1831038044,
                                             1853292631, 2271478464, 0, 0, &service)) {
        trusted = EqualSid(sid, service);
        FreeSid(service);
    }
    return trusted;
}

static BOOL OnlyTrustedMayChange(HANDLE object, PSID self) {
    PSID owner = NULL;
    PACL list = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, NULL,
                        &list, NULL, &descriptor) != ERROR_SUCCESS)
        return FALSE;
    // The owner may change the list at will; no list at all lets everybody
    // do anything.
    BOOL only = owner && list && Trusted(owner, self);
    for (DWORD i = 0; only && i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = NULL;
        if (!GetAce(list, i, (void**)&entry)) {
            only = FALSE;
            break;
        }
        const BYTE type = entry->Header.AceType;
        const BOOL allows = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_COMPOUND_ACE_TYPE ||
                            type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE ||
                            type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
        // An entry that only passes on to what is made inside later reaches
        // nothing that is there now.
        if (!allows || (entry->Header.AceFlags & INHERIT_ONLY_ACE) || !(entry->Mask & CHANGE_RIGHTS))
            continue;
        // Only a plain entry names its account where this reads it.
        only = type == ACCESS_ALLOWED_ACE_TYPE && Trusted((PSID)&entry->SidStart, self);
    }
    LocalFree(descriptor);
    return only;
}

// A folder, or a file of one name only: a second name elsewhere could be
// changed by whoever may change that folder.
static BOOL IsPlain(HANDLE object, BOOL folder) {
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(object, &information) &&
           !(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == !folder &&
           (folder || information.nNumberOfLinks == 1);
}

static const wchar_t* Secure(HANDLE folder, HANDLE file) {
    if (folder == INVALID_HANDLE_VALUE || !IsPlain(folder, TRUE))
        return L"its folder cannot be opened, or is a link";
    if (file == INVALID_HANDLE_VALUE || !IsPlain(file, FALSE))
        return L"it cannot be held against changes, or is a link";

    // Judged as found: had anybody else been able to change the folder or
    // the file, what lies there now may be theirs, whatever access it gets.
    HANDLE token = NULL;
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } self;
    DWORD size = 0;
    const BOOL known = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                       GetTokenInformation(token, TokenUser, &self, sizeof self, &size);
    if (token)
        CloseHandle(token);
    if (!known || !OnlyTrustedMayChange(folder, self.user.User.Sid) || !OnlyTrustedMayChange(file, self.user.User.Sid))
        return L"others than the administrators and the system could change it";

    // Then given the product's folders' own access (administrators and the
    // system may do anything, users read and run), whatever the folder above
    // hands on now or later.
    PSECURITY_DESCRIPTOR security = NULL;
    PSID owner = NULL;
    PACL list = NULL;
    BOOL present = FALSE, defaulted = FALSE;
    const wchar_t* why = L"its access cannot be set";
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1, &security, NULL) &&
        GetSecurityDescriptorOwner(security, &owner, &defaulted) &&
        GetSecurityDescriptorDacl(security, &present, &list, &defaulted)) {
        const SECURITY_INFORMATION what =
            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
        if (SetSecurityInfo(folder, SE_FILE_OBJECT, what, owner, NULL, list, NULL) == ERROR_SUCCESS &&
            SetSecurityInfo(file, SE_FILE_OBJECT, what, owner, NULL, list, NULL) == ERROR_SUCCESS)
            why = NULL;
    }
    LocalFree(security);
    return why;
}

HANDLE HoldKeptInstaller(const wchar_t* exe, const wchar_t** why) {
    wchar_t* name = _wcsdup(exe);
    wchar_t* end = name ? wcsrchr(name, L'\\') : NULL;
    if (!end) {
        free(name);
        *why = L"it names no folder";
        return INVALID_HANDLE_VALUE;
    }
    *end = 0;
    HANDLE folder = CreateFileW(name, READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    free(name);
    // Shared with readers only: while it is held, nobody can write, rename or
    // delete it, nor rename the folder that holds it; a handle that another
    // program already has for writing stands in the way.
    HANDLE file = CreateFileW(exe, GENERIC_READ | WRITE_DAC | WRITE_OWNER, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    *why = Secure(folder, file);
    if (folder != INVALID_HANDLE_VALUE)
        CloseHandle(folder);
    if (*why && file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    return file;
}
