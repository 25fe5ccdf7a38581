#include "system/Elevation.h"

#include "system/Handles.h"

#include <sddl.h>

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
