#include "app/InstallMain.h"

#include "app/TempDir.h"
#include "system/Reg.h"
#include "system/ShellLink.h"

namespace InstallMain {
TInstallForm* InstallForm = nullptr;
std::int32_t StepIndex = 0;
std::wstring TempDir;
ComPtr<IUnknown> ShellLinkObject;
ComPtr<IShellLinkW> ShellLinkInterface;
ComPtr<IPersistStream> PersistInterface;
ShortcutStorage ShortcutWork;
std::vector<wchar_t> TempPathBuffer;
}  // namespace InstallMain

using namespace InstallMain;

TInstallForm::TInstallForm(Application& application) : application_(application), window_(application, *this) {}

void TInstallForm::Create() {
    window_.Create();
    application_.Guard(window_.Handle(), [this] { FormCreate(); });
}

void TInstallForm::FormCreate() {
    // The banner is stored once and shown on four pages.
    for (ControlId logo : {TopLogo2, TopLogo3, TopLogo4})
        window_.SetImagePicture(logo, window_.ImagePicture(TopLogo1));
    StepIndex = 0;
    TempDir = ReadTempDir(TempPathBuffer);
    window_.SetText(InstallDir, RegReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                              false, L"ProgramFilesDir") +
                                    L"\\Zarvo");
    CreateShellLinkObject(InstallMain::ShellLinkObject, ShellLinkInterface, PersistInterface);
    EnablePrivilege(GetCurrentProcess(), L"SeDebugPrivilege");
}

// The install directory is the edit box's text, read afresh at every use.
std::wstring TInstallForm::InstallDirectory() const {
    return window_.Text(InstallDir);
}

void TInstallForm::FormDestroy() {
    std::vector<wchar_t>().swap(TempPathBuffer);
}

void TInstallForm::OnDestroy() {
    FormDestroy();
}

void InstallMain::ReleaseInstallerState() {
    TempDir.clear();
    ShortcutWork.linkPath.clear();
    PersistInterface.reset();
    ShellLinkInterface.reset();
    ShellLinkObject.reset();
}
