#pragma once

#include <optional>
#include <string>

// Whose rights a process holds: its user as a SID text ("S-1-5-21-..."), and
// its integrity level, the last number of its mandatory label (0x2000 medium,
// 0x3000 high), which Windows 2000 and XP do not give.
struct TokenFacts {
    std::wstring user;
    std::optional<unsigned long> level;
};

enum class StartRoute {
    // ShellExecuteW in the installer's own process, with its rights.
    Direct,
    // The desktop shell's process does the starting, with the shell's rights.
    DesktopShell,
    // Nothing is started.
    None,
};

struct StartPlan {
    StartRoute route;
    // The user at the desktop, where that is known and not the installer's
    // own user: that user's settings go into that user's hive. Empty where
    // the installer's own hive is the desktop user's, or nobody can tell.
    std::wstring desktopUser;
};

// How the finish actions start programs: directly only where the desktop shell
// runs as the same user at the same level; else through the shell, and
// through a shell of unknown rights not at all.
StartPlan PlanStarts(const std::optional<TokenFacts>& installer, const std::optional<TokenFacts>& shell);

// A copy of the browser that the installation closed: its user, as a SID
// text (empty where its token could not be read), and its session.
struct ClosedCopy {
    std::wstring user;
    unsigned long session = 0;
};

enum class RestartRoute {
    // Through the desktop shell, as the finish actions start the browser:
    // the installer is that copy's user, in its session.
    Shell,
    // As the system, with the session's own user token, that user's
    // environment and desktop, where that user is the copy's.
    SessionUser,
    // Nobody can start it as its user.
    None,
};

// How a closed copy is started again once the installation is done: never
// with the installer's rights, never for another user or in another session
// than its own.
RestartRoute PlanRestart(const ClosedCopy& copy,
                         const std::optional<TokenFacts>& installer,
                         unsigned long installerSession);
