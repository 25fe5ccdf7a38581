#include "app/Unattended.h"

Outcome InstallUnattended(TInstallForm& form, Application& application, SetupMode mode) {
    // Nor does the system ask anything, such as for the disk of an empty drive.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    WizardWindow& window = form.Window();
    if (mode == SetupMode::Passive) {
        form.ShowPage(ProcessTabSheet);
        form.Show();
    }
    try {
        form.InstallIntoTheFolder();
    } catch (...) {
        application.ShowCurrentException(window.Handle());
    }
    return form.RunOutcome();
}
