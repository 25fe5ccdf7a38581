#include "app/InstallMain.h"

// The form's routines that need no window, each over the routine of the layer
// that does the work.

using namespace InstallMain;

Refusal TInstallForm::EnsureDirectory(const std::wstring& dir, InstallFolder& folder) {
    return CheckInstallFolder(dir, TempDir, folder, application_.Log(), beforeFolderMade_,
                              removing_ || command_ != ShellCommand::None);
}
