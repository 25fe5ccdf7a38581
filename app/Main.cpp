#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/InstallMain.h"
#include "app/Texts.h"
#include "app/Unattended.h"
#include "install/Areas.h"
#include "install/PathRules.h"
#include "payload/Integrity.h"
#include "system/ComApartment.h"
#include "system/Error.h"
#include "system/LibrarySearch.h"
#include "system/MessageText.h"
#include "system/Reg.h"
#include "system/RunLog.h"
#include "system/SetupLock.h"
#include "system/SystemError.h"
#include "ui/Application.h"

#include "Version.h"

#include <algorithm>
#include <iterator>

namespace {

// Starts the log asked for, outside the folder `apart`, with what places the
// run. Gives 0, also when none is asked for, or the system's code why it
// cannot.
DWORD OpenLog(RunLog& log, const std::wstring& path, const std::wstring& apart) {
    if (path.empty())
        return 0;
    if (const DWORD error = log.Open(path, apart))
        return error;
    log.Line(kLogTitleLine);
    log.Line({kCommandLineLine, GetCommandLineW()});
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Each number written over the zeros of its place, from its last digit.
    wchar_t started[std::size(kStartTimeLine)];
    std::copy(std::begin(kStartTimeLine), std::end(kStartTimeLine), started);
    WORD numbers[] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const int ends[] = {8, 11, 14, 17, 20, 23};
    for (int i = 0; i < 6; ++i)
        for (int at = ends[i]; numbers[i] && at >= 0; --at, numbers[i] /= 10)
            started[at] = static_cast<wchar_t>(L'0' + numbers[i] % 10);
    log.Line(started);
    return 0;
}

// The folder that an installation without /D= goes to, none where it cannot
// be read: the wizard reads it again and tells why.
std::wstring DefaultFolder() {
    try {
        return InstallMain::StartingFolder();
    } catch (const Error&) {
        return {};
    }
}

// The wizard, or the installation without it, in the window made for it; a
// removal from `removeFrom` where one is asked for.
Outcome RunForm(Application& application, const SetupOptions& options, const std::wstring& removeFrom) {
    TInstallForm form(application);
    Outcome outcome;
    try {
        // A quiet run shows nothing, and makes no window to show.
        form.Create(options.mode != SetupMode::Quiet);
        if (options.command != ShellCommand::None)
            form.Commanding(options.command, removeFrom);
        else if (options.uninstall)
            form.Removing(removeFrom);
        if (options.directory)
            form.SetInstallDirectory(*options.directory);
        form.ChooseShortcuts(options.shortcuts);
        form.ChooseRestart(options.restart);
        form.ChooseClosingFate(options.mode == SetupMode::Wizard ? Closing::Fate::Ask
                               : options.forceClose              ? Closing::Fate::End
                                                                 : Closing::Fate::Keep);
        if (options.mode == SetupMode::Wizard) {
            form.Show();
            application.Run(form.Window().Handle());
            outcome = form.RunOutcome();
        } else {
            outcome = InstallUnattended(form, application, options.mode);
        }
    } catch (...) {
        // The window could not be made.
        application.ShowCurrentException(nullptr);
        outcome = Outcome::Failed;
    }
    form.Destroy();
    return outcome;
}

Outcome Setup(Application& application, const SetupOptions& options) {
    RunLog& log = application.Log();
    // The folder that the run removes from or installs into, as far as it is
    // known before anything is made: the log is kept out of it, where it
    // would replace a file of the product.
    // A command works on the installed copy, as a removal does.
    const bool installed = options.uninstall || options.command != ShellCommand::None;
    const std::wstring removeFrom = installed ? InstallMain::RecordedFolder() : std::wstring();
    const std::wstring folder = installed ? removeFrom : options.directory ? *options.directory : DefaultFolder();
    const std::wstring apart = WellFormedInstallDir(folder) ? folder : std::wstring();
    // A command that Windows runs keeps its log beside the kept installer,
    // where only administrators may write (the last command's stays). The
    // shell is asked for that folder then only: it fills in a Program Files
    // that the registry lacks, which an installation reports instead.
    std::wstring logFile = options.logFile;
    if (options.command != ShellCommand::None) {
        const std::wstring programFiles = ProgramFilesPath();
        logFile = programFiles.empty() ? programFiles : programFiles + L"\\" ZARVO_KEPT_FOLDER L"\\" ZARVO_COMMAND_LOG;
    }
    // Nobody answers a box in an unattended run, whatever else the line asks:
    // the one who wrote the command line is told in the log, if it can be had.
    if (options.mode != SetupMode::Wizard)
        application.ShowNoBoxes();
    if (options.refused || options.help) {
        OpenLog(log, logFile, apart);
        application.Message(nullptr, (options.refused ? RefusedOptionText(*options.refused) : UsageText()).c_str(),
                            Application::kTitle, MB_OK | (options.refused ? MB_ICONERROR : MB_ICONINFORMATION));
        return options.refused ? Outcome::InvalidCommandLine : Outcome::HelpShown;
    }
    // Taken before the log is opened: a second run given the same log must
    // not replace the first one's.
    const SetupLock lock;
    if (lock.HeldElsewhere()) {
        OpenLog(log, logFile, apart);
        application.Message(nullptr, kAnotherSetupText, Application::kTitle, MB_OK | MB_ICONWARNING);
        return Outcome::AnotherSetupRunning;
    }
    // A command goes on without its log where that cannot be had: Windows,
    // which runs it, waits for no answer.
    if (const DWORD error = OpenLog(log, logFile, apart); error && options.command == ShellCommand::None) {
        application.Message(nullptr,
                            FormatText(kLogNotOpenedText, {options.logFile, error == RunLog::kInFolderKeptApart
                                                                                ? std::wstring(kLogInFolder)
                                                                                : SystemErrorText(error)})
                                .c_str(),
                            Application::kTitle, MB_OK | MB_ICONERROR);
        return Outcome::LogNotOpened;
    }
    // A copy damaged on its way here is found before anything is changed,
    // rather than at the damaged payload, after the earlier ones have replaced
    // an installed product's files.
    if (!PayloadsIntact()) {
        application.Message(nullptr, kDamagedText, Application::kTitle, MB_OK | MB_ICONERROR);
        return Outcome::Damaged;
    }
    // A removal takes what the Uninstall entry records; where it records no
    // folder, nothing is installed to remove.
    if (installed && removeFrom.empty()) {
        // A removal cut off after what located the product went left its
        // keys, empty by then: they go now.
        for (auto key = Product::kKeys.rbegin(); key != Product::kKeys.rend(); ++key)
            if (Product::OwnsKey(*key))
                RegRemoveEmptyKey(HKEY_LOCAL_MACHINE, *key);
        application.Message(nullptr, kNothingInstalled, Application::kTitle, MB_OK | MB_ICONINFORMATION);
        return Outcome::NothingInstalled;
    }
    // An older release replaces a newer one only when asked to: a newer
    // browser's profile may not open in an older one.
    const std::wstring newer =
        options.allowDowngrade || installed ? std::wstring() : InstallMain::NewerInstalledRelease();
    if (!newer.empty()) {
        if (options.mode != SetupMode::Wizard) {
            log.Line(FormatText(kNewerRefused, {newer, ZARVO_VERSION_TEXT}));
            return Outcome::NewerInstalled;
        }
        if (application.Message(nullptr, FormatText(kNewerQuestion, {newer, ZARVO_VERSION_TEXT}).c_str(),
                                Application::kTitle, MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDOK)
            return Outcome::NewerInstalled;
    }
    ComApartment com;
    const Outcome outcome = RunForm(application, options, removeFrom);
    InstallMain::ReleaseInstallerState();
    return outcome;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    HardenLibrarySearch();
    Application application;
    const Outcome outcome = Setup(application, ParseCommandLine(arguments));
    application.Log().Line(ResultLine(outcome));
    return ExitCodeOf(outcome);
}
