#include "app/Unattended.h"

#include "app/ExitCode.h"

int InstallUnattended(TInstallForm& form, Application& application, const SetupOptions& options) {
    // Nor may the system ask anything, such as for the disk of an empty drive.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    WizardWindow& window = form.Window();
    if (options.directory)
        window.SetText(InstallDir, *options.directory);
    InstallMain::StepIndex = 2;
    try {
        form.NextStepBtnClick();
    } catch (...) {
        application.ShowCurrentException(window.Handle());
        return kInstallationFailed;
    }
    // A folder that is refused leaves the wizard on the directory page.
    if (window.ActivePage() != OverTabSheet)
        return kFolderRefused;
    application.Note(ControlDefOf(OverTitleLabel).caption);
    return kInstalled;
}
