#include "app/InstallMain.h"
#include "install/FileRoutines.h"
#include "system/Error.h"
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

namespace {

// The debug privilege, which lets the installer open the processes of other
// accounts, enabled for a scope only, however it ends: a program that the
// installer starts later inherits its token as it is then.
class DebugPrivilege {
  public:
    DebugPrivilege() { TInstallForm::EnablePrivilege(GetCurrentProcess(), kName, true); }
    ~DebugPrivilege() { TInstallForm::EnablePrivilege(GetCurrentProcess(), kName, false); }
    DebugPrivilege(const DebugPrivilege&) = delete;
    DebugPrivilege& operator=(const DebugPrivilege&) = delete;

  private:
    static constexpr wchar_t kName[] = L"SeDebugPrivilege";
};

}  // namespace

bool TInstallForm::KillProcessByName(const std::wstring& executableName, const HeldFolder& installFolder, RunLog& log) {
    const DebugPrivilege enabled;
    return EndInstalledCopies(executableName, installFolder, log);
}

bool TInstallForm::EnablePrivilege(HANDLE process, const wchar_t* privilegeName, bool enable) {
    return SetPrivilege(process, privilegeName, enable);
}

std::vector<unsigned char> TInstallForm::CreateShortcut(const std::wstring& target,
                                                        const std::wstring& workingDirectory,
                                                        const wchar_t* description,
                                                        const wchar_t* arguments) {
    // Without the shell-link object (its creation failed at start-up) there
    // is nothing to make a shortcut with.
    if (!ShellLinkInterface || !PersistInterface)
        Raise(L"Interface not supported");
    ShellLinkInterface->SetPath(target.c_str());
    ShellLinkInterface->SetWorkingDirectory(workingDirectory.c_str());
    ShellLinkInterface->SetArguments(arguments);
    ShellLinkInterface->SetDescription(description);
    return ShortcutBytes(PersistInterface.get());
}
