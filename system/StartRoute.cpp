#include "system/StartRoute.h"

StartPlan PlanStarts(const std::optional<TokenFacts>& installer, const std::optional<TokenFacts>& shell) {
    if (!shell)
        return {StartRoute::None, {}};
    const bool sameUser = installer && installer->user == shell->user;
    if (sameUser && installer->level == shell->level)
        return {StartRoute::Direct, {}};
    return {StartRoute::DesktopShell, sameUser ? std::wstring() : shell->user};
}

RestartRoute PlanRestart(const ClosedCopy& copy,
                         const std::optional<TokenFacts>& installer,
                         unsigned long installerSession) {
    // Nothing is started with the system's rights, the local system's
    // account being a deployment tool's or the package's.
    constexpr wchar_t kSystem[] = L"S-1-5-18";
    if (copy.user.empty() || copy.user == kSystem || !installer)
        return RestartRoute::None;
    if (installer->user == kSystem)
        return RestartRoute::SessionUser;
    return installer->user == copy.user && installerSession == copy.session ? RestartRoute::Shell : RestartRoute::None;
}
