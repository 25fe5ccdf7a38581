#include "app/InstallMain.h"
#include "app/Texts.h"
#include "system/MessageText.h"
#include "system/RunningCopies.h"

// The boxes about the product's programs that run from the install folder:
// the user saves first, and chooses what becomes of one that will not close.

bool TInstallForm::ProgramsMayClose() {
    // Without a user, the installation closes them as the command line says.
    if (closingFate_ != Closing::Fate::Ask)
        return true;
    unsigned running = 0;
    for (const RunningCopy& copy : FindRunningCopies(installFolder_.path))
        running |= 1u << copy.program;
    if (!running ||
        application_.Message(window_.Handle(), FormatText(kProgramsWillCloseQuestion, {ProgramNames(running)}).c_str(),
                             Application::kTitle, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        return true;
    // A folder that programs run from was there before the check: it made
    // nothing, and only lets the folder go.
    installFolder_.held = HeldFolder();
    return false;
}

StillRunning TInstallForm::ProgramsStillRunning(const std::wstring& names) {
    // Unattended, only a command line that keeps them leaves them running.
    const int answer =
        closingFate_ != Closing::Fate::Ask
            ? IDCANCEL
            : application_.Message(window_.Handle(), FormatText(kProgramsDidNotCloseQuestion, {names}).c_str(),
                                   Application::kTitle, MB_CANCELTRYCONTINUE | MB_ICONWARNING);
    if (answer == IDTRYAGAIN)
        return StillRunning::Retry;
    if (answer == IDCONTINUE)
        return StillRunning::End;
    return StillRunning::Stop;
}
