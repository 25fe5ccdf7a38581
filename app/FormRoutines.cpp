#include "app/InstallMain.h"
#include "install/FileRoutines.h"
#include "system/Privilege.h"
#include "system/ProcessKill.h"
#include "system/RunLog.h"
#include "system/ShellLink.h"

// The form's routines that need no window, each over the routine of the layer
// that does the work.

using namespace InstallMain;

HeldFolder TInstallForm::EnsureDirectory(const HeldFolder& folder,
                                         const std::wstring& names,
                                         std::vector<MadeFolder>& made,
                                         DWORD& error) {
    return MakeFoldersBelow(folder, names, made, error);
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
