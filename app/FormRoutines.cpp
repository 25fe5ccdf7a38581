#include "app/InstallMain.h"
#include "system/Privilege.h"
#include "system/ProcessKill.h"
#include "system/RunLog.h"
#include "system/ShellLink.h"

// The form's routines that need no window, each over the routine of the layer
// that does the work.

using namespace InstallMain;

Refusal TInstallForm::EnsureDirectory(const std::wstring& dir, InstallFolder& folder) {
    return CheckInstallFolder(dir, TempDir, folder, application_.Log(), beforeFolderMade_, removing_);
}

bool TInstallForm::KillProcessByName(const std::wstring& executableName, const HeldFolder& installFolder, RunLog& log) {
    return EndInstalledCopies(executableName, installFolder, log);
}

bool TInstallForm::EnablePrivilege(HANDLE process, const wchar_t* privilegeName, bool enable) {
    return SetPrivilege(process, privilegeName, enable);
}

std::vector<unsigned char> TInstallForm::CreateShortcut(const std::wstring& target,
                                                        const std::wstring& workingDirectory,
                                                        const wchar_t* description,
                                                        const wchar_t* arguments) {
    return ShortcutFile(ShellLinkInterface.get(), PersistInterface.get(), target, workingDirectory, description,
                        arguments);
}
