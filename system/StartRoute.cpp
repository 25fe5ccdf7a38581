#include "system/StartRoute.h"

StartPlan PlanStarts(const std::optional<TokenFacts>& installer, const std::optional<TokenFacts>& shell) {
    if (!shell)
        return {StartRoute::None, {}};
    const bool sameUser = installer && installer->user == shell->user;
    if (sameUser && installer->level == shell->level)
        return {StartRoute::Direct, {}};
    return {StartRoute::DesktopShell, sameUser ? std::wstring() : shell->user};
}
