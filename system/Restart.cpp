#include "system/Restart.h"

#include "system/DynamicApi.h"
#include "system/Elevation.h"
#include "system/Handles.h"
#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/SystemError.h"
#include "system/Texts.h"
#include "system/UserShell.h"

#include <algorithm>

namespace {

// Started in the copy's session with that session's own user token, that
// user's environment and the session's desktop; 0, or the system's code why
// not. Windows 2000 lacks the token's question.
DWORD StartAsSessionUser(const ClosedCopy& copy, const std::wstring& program, const std::wstring& folder) {
    const auto queryToken = Late::WTSQueryUserToken();
    const auto makeEnvironment = Late::CreateEnvironmentBlock();
    const auto dropEnvironment = Late::DestroyEnvironmentBlock();
    if (!queryToken || !makeEnvironment || !dropEnvironment)
        return ERROR_CALL_NOT_IMPLEMENTED;
    HANDLE token = nullptr;
    if (!queryToken(copy.session, &token))
        return GetLastError();
    const UniqueHandle owned(token);
    // Someone else may sit at that session by now.
    const std::optional<TokenFacts> facts = TokenHandleFacts(token);
    if (!facts || facts->user != copy.user)
        return ERROR_ACCESS_DENIED;
    void* environment = nullptr;
    if (!makeEnvironment(&environment, token, FALSE))
        return GetLastError();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    wchar_t desktop[] = L"winsta0\\default";
    startup.lpDesktop = desktop;
    std::wstring line = L"\"" + program + L"\"";
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessAsUserW(token, program.c_str(), line.data(), nullptr, nullptr, FALSE,
                                         CREATE_UNICODE_ENVIRONMENT, environment, folder.c_str(), &startup, &started);
    const DWORD error = ok ? 0 : GetLastError();
    dropEnvironment(environment);
    if (ok) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    return error;
}

}  // namespace

bool StartAgain(const std::vector<ClosedCopy>& copies, const std::wstring& program, LogSink& log) {
    const std::optional<TokenFacts> installer = ProcessTokenFacts(GetCurrentProcess());
    const unsigned long session = SessionOfProcess(GetCurrentProcessId());
    const std::wstring folder = program.substr(0, program.rfind(L'\\'));
    bool own = false;
    for (auto copy = copies.begin(); copy != copies.end(); ++copy) {
        // One browser for each of its users, in each session.
        if (std::any_of(copies.begin(), copy, [&](const ClosedCopy& earlier) {
                return earlier.user == copy->user && earlier.session == copy->session;
            }))
            continue;
        const std::wstring whom =
            FormatText(kBrowserOfUser, {program, copy->user, DecimalText(copy->session)});
        DWORD error = 0;
        switch (PlanRestart(*copy, installer, session)) {
            case RestartRoute::Shell:
                if (!UserShell().Execute(nullptr, L"open", program.c_str(), L"", folder.c_str(), SW_SHOWNORMAL)) {
                    log.Line({kNotStartedNoShellLine, whom});
                    continue;
                }
                own = true;
                break;
            case RestartRoute::SessionUser:
                error = StartAsSessionUser(*copy, program, folder);
                break;
            case RestartRoute::None:
                log.Line({kNotStartedAsUserLine, whom});
                continue;
        }
        if (error)
            log.Line(FormatText(kNotStartedLine, {whom, SystemErrorText(error)}));
        else
            log.Line({kStartedAgainLine, whom});
    }
    return own;
}
