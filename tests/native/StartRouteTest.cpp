#include "system/StartRoute.h"

#include <gtest/gtest.h>

// The installer's token against the desktop shell's, as the systems give
// them: Windows 2000 and XP no level, Vista on 0x2000 medium, 0x3000 high.
TEST(StartRoute, DirectOnlyForTheSameUserAtTheSameLevel) {
    const std::wstring admin = L"S-1-5-21-1-2-3-500";
    const std::wstring other = L"S-1-5-21-1-2-3-1001";
    const std::optional<unsigned long> none;
    struct Case {
        std::optional<TokenFacts> installer, shell;
        StartRoute route;
        std::wstring desktopUser;
    };
    const Case cases[] = {
        // Windows 2000 and XP; user account control off; the built-in Administrator.
        {TokenFacts{admin, none}, TokenFacts{admin, none}, StartRoute::Direct, L""},
        {TokenFacts{admin, 0x3000}, TokenFacts{admin, 0x3000}, StartRoute::Direct, L""},
        // A split token: the shell holds the limited half.
        {TokenFacts{admin, 0x3000}, TokenFacts{admin, 0x2000}, StartRoute::DesktopShell, L""},
        // The shell's level unreadable, or above the installer's.
        {TokenFacts{admin, 0x3000}, TokenFacts{admin, none}, StartRoute::DesktopShell, L""},
        {TokenFacts{admin, 0x2000}, TokenFacts{admin, 0x3000}, StartRoute::DesktopShell, L""},
        // "Run as" another account, or a second account at the desktop.
        {TokenFacts{admin, 0x3000}, TokenFacts{other, 0x3000}, StartRoute::DesktopShell, other},
        {TokenFacts{admin, none}, TokenFacts{other, none}, StartRoute::DesktopShell, other},
        {std::nullopt, TokenFacts{admin, 0x3000}, StartRoute::DesktopShell, admin},
        // No shell found, or its token unreadable.
        {TokenFacts{admin, 0x3000}, std::nullopt, StartRoute::None, L""},
        {std::nullopt, std::nullopt, StartRoute::None, L""},
    };
    for (const Case& c : cases) {
        const StartPlan plan = PlanStarts(c.installer, c.shell);
        EXPECT_EQ(plan.route, c.route) << (c.shell ? c.shell->user : L"no shell");
        EXPECT_EQ(plan.desktopUser, c.desktopUser);
    }
}

// A closed browser comes back only as its own user in its own session: from
// the installer of that user at that desktop through the shell, from the
// system with that session's token, and from nobody else.
TEST(StartRoute, AClosedCopyIsStartedAgainOnlyAsItsUserInItsSession) {
    const std::wstring user = L"S-1-5-21-1-2-3-1001", admin = L"S-1-5-21-1-2-3-500", system = L"S-1-5-18";
    struct Case {
        ClosedCopy copy;
        std::optional<TokenFacts> installer;
        unsigned long session;
        RestartRoute route;
    };
    const Case cases[] = {
        {{user, 1}, TokenFacts{user, 0x3000}, 1, RestartRoute::Shell},
        {{user, 2}, TokenFacts{user, 0x3000}, 1, RestartRoute::None},
        {{user, 1}, TokenFacts{admin, 0x3000}, 1, RestartRoute::None},
        {{user, 1}, TokenFacts{system, 0x4000}, 0, RestartRoute::SessionUser},
        {{system, 0}, TokenFacts{system, 0x4000}, 0, RestartRoute::None},
        {{L"", 1}, TokenFacts{user, 0x3000}, 1, RestartRoute::None},
        {{user, 1}, std::nullopt, 1, RestartRoute::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanRestart(c.copy, c.installer, c.session), c.route)
            << c.copy.user << " in " << c.copy.session << " by " << (c.installer ? c.installer->user : L"nobody");
}
