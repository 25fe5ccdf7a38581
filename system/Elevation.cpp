#include "system/Elevation.h"

#include "system/DynamicApi.h"
#include "system/Handles.h"

#include <sddl.h>

#include <algorithm>
#include <iterator>

namespace {

// A token's user or its mandatory label: one SID and its attributes.
struct TokenSid {
    SID_AND_ATTRIBUTES sid;
    unsigned char room[SECURITY_MAX_SID_SIZE];
};

// The SID of that kind of a token's information; null where the system lacks it.
PSID TokenSidOf(HANDLE token, TOKEN_INFORMATION_CLASS kind, TokenSid& data) {
    DWORD size = 0;
    return GetTokenInformation(token, kind, &data, sizeof data, &size) ? data.sid.Sid : nullptr;
}

}  // namespace

std::optional<TokenFacts> ProcessTokenFacts(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return std::nullopt;
    const UniqueHandle owned(token);
    return TokenHandleFacts(token);
}

unsigned long SessionOfProcess(DWORD id) {
    DWORD session = 0;
    const auto query = Late::ProcessIdToSessionId();
    return query && query(id, &session) ? session : 0;
}

std::optional<TokenFacts> TokenHandleFacts(HANDLE token) {
    TokenSid data;
    wchar_t* text = nullptr;
    const PSID user = TokenSidOf(token, TokenUser, data);
    if (!user || !ConvertSidToStringSidW(user, &text))
        return std::nullopt;
    const UniqueLocalMemory ownedText(text);
    TokenFacts facts{text, std::nullopt};
    // The mandatory label, from Vista on; older systems refuse the question.
    constexpr auto kTokenIntegrityLevel = static_cast<TOKEN_INFORMATION_CLASS>(25);
    const PSID label = TokenSidOf(token, kTokenIntegrityLevel, data);
    if (label && *GetSidSubAuthorityCount(label) > 0)
        facts.level = *GetSidSubAuthority(label, *GetSidSubAuthorityCount(label) - 1u);
    return facts;
}

std::optional<TokenFacts> WindowOwnerFacts(HWND window) {
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id))
        return std::nullopt;
    // Enough for the token from Vista on, where more may be refused.
    constexpr DWORD kProcessQueryLimitedInformation = 0x1000;
    UniqueHandle process(OpenProcess(kProcessQueryLimitedInformation, FALSE, id));
    if (!process)
        process.reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id));
    // The id passes to another process if the window's ends before the open;
    // the window still there under that id shows that the process is its own.
    DWORD owner = 0;
    if (!process || !GetWindowThreadProcessId(window, &owner) || owner != id)
        return std::nullopt;
    return ProcessTokenFacts(process.get());
}

bool AdministratorsDenyOnly(HANDLE token) {
    // S-1-5-32-544: revision 1, two numbers below the NT authority (5).
    static const BYTE kAdministrators[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
    // DWORD elements keep the groups' records aligned; a token of a user in
    // more groups than this has room for is taken for one that is split.
    DWORD buffer[4096];
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenGroups, buffer, sizeof buffer, &size))
        return true;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (std::mismatch(kAdministrators, std::end(kAdministrators), static_cast<const BYTE*>(groups->Groups[i].Sid))
                .first == std::end(kAdministrators))
            return groups->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY;
    return false;
}

bool SplitToken(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return true;
    const UniqueHandle owned(token);
    // From Vista on; Windows 2000 and XP refuse the question, and so does a
    // token that user account control did not split.
    constexpr auto kTokenLinkedToken = static_cast<TOKEN_INFORMATION_CLASS>(19);
    HANDLE linked = nullptr;
    DWORD size = 0;
    if (!GetTokenInformation(token, kTokenLinkedToken, &linked, sizeof linked, &size))
        return false;
    const UniqueHandle ownedLinked(linked);
    for (HANDLE half : {token, linked})
        if (AdministratorsDenyOnly(half))
            return true;
    return false;
}
