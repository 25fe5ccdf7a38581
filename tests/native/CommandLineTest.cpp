#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

constexpr SetupMode W = SetupMode::Wizard;
constexpr SetupMode P = SetupMode::Passive;
constexpr SetupMode Q = SetupMode::Quiet;

struct Case {
    const wchar_t* line;
    SetupMode mode;
    const wchar_t* directory;  // null: none given
    const wchar_t* logFile;
    bool help;
    const wchar_t* refused;  // null: every option taken
    bool allowDowngrade = false;
};

const Case kCases[] = {
    {L"", W, nullptr, L"", false, nullptr},
    {L"  /s\t", Q, nullptr, L"", false, nullptr},
    {L"/QUIET /norestart", Q, nullptr, L"", false, nullptr},
    {L"/Passive", P, nullptr, L"", false, nullptr},
    {L"/? /S", Q, nullptr, L"", true, nullptr},
    {L"/help", W, nullptr, L"", true, nullptr},
    {L"/S /allowdowngrade /D=C:\\Zarvo", Q, L"C:\\Zarvo", L"", false, nullptr, true},
    {L"/AllowDowngrade=true", W, nullptr, L"", false, L"/AllowDowngrade=true"},
    {L"/AllowDowngrade /allowdowngrade", W, nullptr, L"", false, L"/allowdowngrade", true},
    {L"/S /D=C:\\Program Files\\Zarvo", Q, L"C:\\Program Files\\Zarvo", L"", false, nullptr},
    {L"/S /d=C:\\Zarvo  \t", Q, L"C:\\Zarvo", L"", false, nullptr},
    {L"/D=C:\\Apps\\Zarvo", W, L"C:\\Apps\\Zarvo", L"", false, nullptr},
    // Quotes inside /D= are the folder's; the folder check refuses them.
    {L"/S /D=\"C:\\A B\"", Q, L"\"C:\\A B\"", L"", false, nullptr},
    // A whole option in quotes, as argument lists are written out.
    {L"/S \"/D=C:\\Program Files\\Zarvo\"", Q, L"C:\\Program Files\\Zarvo", L"", false, nullptr},
    {L"\"/S\" \"/LOG=C:\\My Logs\\zarvo.log\" /D=C:\\Zarvo", Q, L"C:\\Zarvo", L"C:\\My Logs\\zarvo.log", false,
     nullptr},
    {L"/log \"C:\\My Logs\\zarvo.log\" /passive", P, nullptr, L"C:\\My Logs\\zarvo.log", false, nullptr},
    // A switch given twice, in any of its spellings, and /D= without a folder.
    {L"/LOG=C:\\a.log /S /Log=C:\\b.log", Q, nullptr, L"C:\\a.log", false, L"/Log=C:\\b.log"},
    {L"/log C:\\a.log /LOG=C:\\a.log /S", Q, nullptr, L"C:\\a.log", false, L"/LOG=C:\\a.log"},
    {L"/S /quiet", Q, nullptr, L"", false, L"/quiet"},
    {L"/? /help", W, nullptr, L"", true, L"/help"},
    {L"/norestart /S /NORESTART", Q, nullptr, L"", false, L"/NORESTART"},
    {L"\"/D=C:\\a\" /S /D=C:\\b", Q, L"C:\\a", L"", false, L"/D="},
    {L"/S /D=", Q, nullptr, L"", false, L"/D="},
    {L"/S \"/D=\" /LOG=C:\\z.log", Q, nullptr, L"C:\\z.log", false, L"/D="},
    {L"/s /d=  \t", Q, nullptr, L"", false, L"/d="},
    // Other installers' spellings, and hyphens, which can begin a folder name.
    {L"/SILENT", W, nullptr, L"", false, L"/SILENT"},
    {L"/qn /S2", W, nullptr, L"", false, L"/qn"},
    {L"-S", W, nullptr, L"", false, L"-S"},
    {L"S /X=1", W, nullptr, L"", false, L"S"},
    // An unknown option refuses the line, and /S still keeps the boxes away.
    {L"/S /FOO /LOG=C:\\z.log", Q, nullptr, L"C:\\z.log", false, L"/FOO"},
    {L"/LOG=C:\\My Logs\\zarvo.log /S", Q, nullptr, L"C:\\My", false, L"Logs\\zarvo.log"},
    {L"/S /LOG=", Q, nullptr, L"", false, L"/LOG="},
    {L"/S /log", Q, nullptr, L"", false, L"/log"},
    {L"/log /S", Q, nullptr, L"", false, L"/log"},
    {L"/quiet /passive", Q, nullptr, L"", false, L"/passive"},
    {L"/passive /S", Q, nullptr, L"", false, L"/S"},
    // /D= in the wrong place: what follows it is read, and refused.
    {L"/D=C:\\x /S", Q, L"C:\\x", L"", false, L"/S"},
    {L"/passive /D=C:\\My Apps\\Zarvo /log C:\\z.log", P, L"C:\\My Apps\\Zarvo", L"C:\\z.log", false, L"/log"},
    {L"/D=C:\\My -Apps\\a/b", W, L"C:\\My -Apps\\a/b", L"", false, nullptr},
    {L"\"/S /D=C:\\Zarvo", W, nullptr, L"", false, L"/S /D=C:\\Zarvo"},
};

}  // namespace

TEST(CommandLine, OptionsAsWindowsSetupProgramsTakeThem) {
    for (const Case& c : kCases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.mode, c.mode) << testing::PrintToString(line);
        EXPECT_EQ(options.directory.has_value(), c.directory != nullptr) << testing::PrintToString(line);
        if (c.directory && options.directory)
            EXPECT_EQ(*options.directory, c.directory) << testing::PrintToString(line);
        EXPECT_EQ(options.logFile, c.logFile) << testing::PrintToString(line);
        EXPECT_EQ(options.help, c.help) << testing::PrintToString(line);
        EXPECT_EQ(options.allowDowngrade, c.allowDowngrade) << testing::PrintToString(line);
        EXPECT_EQ(options.refused.value_or(L"(none)"), c.refused ? c.refused : L"(none)")
            << testing::PrintToString(line);
    }
}

// Each shortcut made or not, as other installers take the choice
// (/DesktopShortcut=false); the same option given twice refuses the line. The
// text that the Uninstall entry records reads back as the same choice.
TEST(CommandLine, ShortcutChoices) {
    const std::optional<bool> unset;
    const struct {
        const wchar_t* line;
        std::optional<bool> desktop, startMenu;
        const wchar_t* refused;
    } cases[] = {
        {L"/S", unset, unset, nullptr},
        {L"/DesktopShortcut=false /S", false, unset, nullptr},
        {L"/startmenushortcut=FALSE /D=C:\\Zarvo", unset, false, nullptr},
        {L"/DesktopShortcut=false /StartMenuShortcut=false /DesktopShortcut=False", false, false,
         L"/DesktopShortcut=False"},
        {L"/StartMenuShortcut=true", unset, true, nullptr},
        {L"/DesktopShortcut=false /DesktopShortcut=true", false, unset, L"/DesktopShortcut=true"},
        {L"/StartMenuShortcut=true /StartMenuShortcut=false", unset, true, L"/StartMenuShortcut=false"},
        {L"/DesktopShortcut=no", unset, unset, L"/DesktopShortcut=no"},
        {L"/DesktopShortcut", unset, unset, L"/DesktopShortcut"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.shortcuts.desktop, c.desktop) << testing::PrintToString(line);
        EXPECT_EQ(options.shortcuts.startMenu, c.startMenu) << testing::PrintToString(line);
        EXPECT_EQ(options.refused.value_or(L"(none)"), c.refused ? c.refused : L"(none)")
            << testing::PrintToString(line);
    }
    for (bool desktop : {false, true})
        for (bool startMenu : {false, true}) {
            const SetupOptions recorded = ParseCommandLine(ShortcutOptionsText({desktop, startMenu}));
            EXPECT_FALSE(recorded.refused);
            EXPECT_EQ(recorded.shortcuts.desktop, desktop);
            EXPECT_EQ(recorded.shortcuts.startMenu, startMenu);
        }
}

// A removal with the options that say how to meet the user and where to log,
// and none of those that only an installation reads; /AllowDowngrade is one.
// Running programs are ended at the bound unless the line keeps them, for an
// installation and a removal alike. Any of these given twice refuses the line.
TEST(CommandLine, RemovalDowngradeAndKeepingPrograms) {
    const struct {
        const wchar_t* line;
        bool uninstall, allowDowngrade, forceClose;
        const wchar_t* refused;
    } cases[] = {
        {L"/uninstall /quiet /LOG=C:\\z.log", true, false, true, nullptr},
        {L"/PASSIVE /Uninstall", true, false, true, nullptr},
        {L"/S /AllowDowngrade /D=C:\\Zarvo", false, true, true, nullptr},
        {L"/uninstall /S /D=C:\\My Apps\\Zarvo", true, false, true, L"/D=C:\\My Apps\\Zarvo"},
        {L"/uninstall \"/D=C:\\Zarvo\"", true, false, true, L"/D=C:\\Zarvo"},
        {L"/StartMenuShortcut=false /uninstall", true, false, true, L"/StartMenuShortcut=false"},
        {L"/uninstall /allowdowngrade", true, true, true, L"/allowdowngrade"},
        {L"/uninstall /FOO /D=C:\\Zarvo", true, false, true, L"/FOO"},
        {L"/S /NoForceCloseApplications /D=C:\\Zarvo", false, false, false, nullptr},
        {L"/uninstall /noforcecloseapplications /quiet", true, false, false, nullptr},
        {L"/NoForceCloseApplications /NOFORCECLOSEAPPLICATIONS", false, false, false, L"/NOFORCECLOSEAPPLICATIONS"},
        {L"/uninstall /S /Uninstall", true, false, true, L"/Uninstall"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.uninstall, c.uninstall) << testing::PrintToString(line);
        EXPECT_EQ(options.allowDowngrade, c.allowDowngrade) << testing::PrintToString(line);
        EXPECT_EQ(options.forceClose, c.forceClose) << testing::PrintToString(line);
        EXPECT_EQ(options.refused.value_or(L"(none)"), c.refused ? c.refused : L"(none)")
            << testing::PrintToString(line);
    }
}

// The switches that keep running programs as they are: each its own effect,
// given twice refused, and the restart's refused with a removal, which
// starts nothing again.
TEST(CommandLine, RunningProgramsSwitches) {
    const struct {
        const wchar_t* line;
        bool forceClose, restart;
        const wchar_t* refused;
    } cases[] = {
        {L"/S", true, true, nullptr},
        {L"/S /NoForceCloseApplications", false, true, nullptr},
        {L"/norestartapplications /S", true, false, nullptr},
        {L"/NoRestartApplications /NORESTARTAPPLICATIONS", true, false, L"/NORESTARTAPPLICATIONS"},
        {L"/uninstall /NoForceCloseApplications", false, true, nullptr},
        {L"/uninstall /NoRestartApplications", true, false, L"/NoRestartApplications"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.forceClose, c.forceClose) << testing::PrintToString(line);
        EXPECT_EQ(options.restart, c.restart) << testing::PrintToString(line);
        EXPECT_EQ(options.refused.value_or(L"(none)"), c.refused ? c.refused : L"(none)")
            << testing::PrintToString(line);
    }
}

// The commands that Windows runs for a browser: each alone, in any letter
// case, quiet; any other option (a log too: the command keeps its own), or a
// second command, refuses the line.
TEST(CommandLine, BrowserCommandsStandAlone) {
    const struct {
        const wchar_t* line;
        ShellCommand command;
        const wchar_t* refused;
    } cases[] = {
        {L"/Reinstall", ShellCommand::Reinstall, nullptr},
        {L"/hideicons", ShellCommand::HideIcons, nullptr},
        {L"/log C:\\z.log /SHOWICONS", ShellCommand::ShowIcons, L"/log"},
        {L"/ShowIcons /D=C:\\Zarvo", ShellCommand::ShowIcons, L"/D=C:\\Zarvo"},
        {L"/HideIcons /uninstall", ShellCommand::HideIcons, L"/uninstall"},
        {L"/S /Reinstall", ShellCommand::Reinstall, L"/S"},
        {L"/HideIcons /ShowIcons", ShellCommand::HideIcons, L"/ShowIcons"},
        {L"/ReinstallNow", ShellCommand::None, L"/ReinstallNow"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.command, c.command) << testing::PrintToString(line);
        EXPECT_EQ(options.refused.value_or(L"(none)"), c.refused ? c.refused : L"(none)")
            << testing::PrintToString(line);
        EXPECT_EQ(options.mode == SetupMode::Quiet, c.command != ShellCommand::None) << testing::PrintToString(line);
    }
}
