#include "system/FolderSecurity.h"

#include "system/DynamicApi.h"
#include "system/Elevation.h"
#include "system/PathRoot.h"

#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

namespace {

// Rights that change a folder or what is made inside it (changing its
// attributes is enough to turn an empty folder into a link), and rights that
// let an account take a folder away from below the one that holds it.
constexpr ACCESS_MASK kChange = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES |
                                DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK kReplace = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

// Administrators, the system, the Windows installer service; Power Users
// last, trusted only where the trust says so.
constexpr const wchar_t* kTrusted[] = {
    L"S-1-5-32-544", L"S-1-5-18", L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", L"S-1-5-32-547"};
// Stand-ins for the owner of what is made below: the creator owner and the
// owner rights.
constexpr const wchar_t* kOwnerStandIns[] = {L"S-1-3-0", L"S-1-3-4"};

// Whether the account is the installer's own or one of those listed.
bool AnyOf(PSID sid, const wchar_t* const* sids, std::size_t count, const std::wstring& self = std::wstring()) {
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return false;
    const UniqueLocalMemory owned(text);
    if (!self.empty() && self == text)
        return true;
    for (std::size_t i = 0; i < count; ++i)
        if (wcscmp(sids[i], text) == 0)
            return true;
    return false;
}

bool Trusted(PSID sid, const FolderTrust& trust) {
    return AnyOf(sid, kTrusted, std::size(kTrusted) - !trust.powerUsers, trust.self);
}

// The account that an entry allows something; null for an entry that allows
// nothing. An entry for directory objects, which no file system writes, names
// no account that can be trusted.
PSID AllowedAccount(const ACE_HEADER* header, bool& allows) {
    const BYTE type = header->AceType;
    allows = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE ||
             type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
    if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_ALLOWED_CALLBACK_ACE_TYPE)
        return nullptr;
    return const_cast<DWORD*>(&reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->SidStart);
}

FolderRisk JudgeHandle(HANDLE handle, FolderPlace place, const FolderTrust& trust) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // A folder whose security cannot be read (a file system without any) can
    // be changed by anybody, as far as the installer can tell.
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return FolderRisk::OthersMayChange;
    const UniqueLocalMemory owned(descriptor);
    return JudgeDescriptor(descriptor, place, trust);
}

// Every folder from the root of the path's drive or share down to the path
// itself ("C:\", "C:\Apps", "C:\Apps\Zarvo"), each opened as it stands, a link
// as itself, for as far as they exist, the path itself judged in its place;
// `whole` tells whether all do.
FolderVerdict JudgeChain(const std::wstring& dir, const FolderTrust& trust, bool& whole, FolderPlace dirPlace) {
    whole = false;
    const std::wstring root = PathRoot(dir);
    // A name that the system gave in no form of a path tells nothing.
    if (dir.compare(0, 2, L"\\\\") != 0 && (dir.empty() || dir.compare(1, 2, L":\\") != 0))
        return {FolderRisk::OthersMayReplace, dir};
    // Each prefix ends at the root or at the end of a name.
    for (std::size_t end = root.size(); end <= dir.size(); ++end) {
        if (end != root.size() && (dir[end - 1] == L'\\' || (end < dir.size() && dir[end] != L'\\')))
            continue;
        const std::wstring folder = dir.substr(0, end);
        UniqueHandle handle(CreateFileW(folder.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        const bool last = dir.find_first_not_of(L'\\', end) == std::wstring::npos;
        FolderPlace place = end == root.size() ? FolderPlace::Root : last ? dirPlace : FolderPlace::Above;
        BY_HANDLE_FILE_INFORMATION information{};
        if (!handle) {
            // What is missing, the installer makes with a list of its own.
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return {};
        } else if (place == FolderPlace::Above && GetFileInformationByHandle(handle.get(), &information) &&
                   (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            place = FolderPlace::Link;
        }
        const FolderRisk risk = handle ? JudgeHandle(handle.get(), place, trust)
                                : last ? FolderRisk::OthersMayChange
                                       : FolderRisk::OthersMayReplace;
        if (risk != FolderRisk::None)
            return {risk, folder};
        if (last)
            break;
    }
    whole = true;
    return {};
}

FolderVerdict JudgeHeld(const HeldFolder& folder, const std::wstring& dir, const FolderTrust& trust, bool below) {
    // Where it really is, by the name that the system knows it under, and
    // every folder above that.
    const std::wstring real = folder.Path();
    const FolderPlace place = !below                   ? FolderPlace::Install
                              : real == PathRoot(real) ? FolderPlace::Root
                                                       : FolderPlace::Above;
    if (const FolderRisk risk = JudgeHandle(folder.Handle(), place, trust); risk != FolderRisk::None)
        return {risk, dir};
    bool whole = false;
    const FolderVerdict verdict = JudgeChain(real.empty() ? folder.Name() : real, trust, whole, place);
    return verdict.risk != FolderRisk::None || whole ? verdict : FolderVerdict{FolderRisk::OthersMayReplace, dir};
}

}  // namespace

FolderTrust InstallerTrust() {
    const std::optional<TokenFacts> facts = ProcessTokenFacts(GetCurrentProcess());
    return {facts && !SplitToken(GetCurrentProcess()) ? facts->user : std::wstring(),
            LOBYTE(Late::WindowsVersion()) == 5};
}

FolderRisk JudgeDescriptor(PSECURITY_DESCRIPTOR descriptor, FolderPlace place, const FolderTrust& trust) {
    const bool below = place == FolderPlace::Above || place == FolderPlace::Root;
    const FolderRisk risk = below ? FolderRisk::OthersMayReplace : FolderRisk::OthersMayChange;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner || !Trusted(owner, trust))
        return below ? FolderRisk::OthersMayReplace : FolderRisk::ForeignOwner;
    BOOL present = FALSE;
    PACL list = nullptr;
    // No list at all lets everybody do anything.
    if (!GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted) || !present || !list)
        return risk;
    // A root cannot be renamed or deleted, whatever its list says.
    const ACCESS_MASK rights = place == FolderPlace::Root ? kReplace & ~DELETE : below ? kReplace : kChange;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&header)))
            return risk;
        bool allows = false;
        const PSID account = AllowedAccount(header, allows);
        if (!allows || !(reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask & rights))
            continue;
        // An entry that only passes on to what is made inside matters for the
        // install folder, whose files and folders get it.
        const bool inheritOnly = header->AceFlags & INHERIT_ONLY_ACE;
        if (inheritOnly &&
            (place != FolderPlace::Install || !(header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE))))
            continue;
        if (account && (Trusted(account, trust) || AnyOf(account, kOwnerStandIns, std::size(kOwnerStandIns))))
            continue;
        return risk;
    }
    return FolderRisk::None;
}

FolderVerdict JudgeInstallPath(const std::wstring& dir) {
    bool whole = false;
    return JudgeChain(dir, InstallerTrust(), whole, FolderPlace::Install);
}

FolderVerdict JudgeHeldFolder(const HeldFolder& folder, const std::wstring& dir, bool below) {
    return JudgeHeld(folder, dir, InstallerTrust(), below);
}

FolderRisk JudgeFile(HANDLE file) {
    return JudgeHandle(file, FolderPlace::Install, InstallerTrust());
}

UniqueLocalMemory ProductFolderSecurity() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", SDDL_REVISION_1, &descriptor, nullptr);
    return UniqueLocalMemory(descriptor);
}
