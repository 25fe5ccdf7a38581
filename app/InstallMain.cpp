#include "app/InstallMain.h"

#include "app/ReleaseVersion.h"
#include "app/TempDir.h"
#include "app/UpgradeFolder.h"
#include "system/CriticalErrors.h"
#include "system/Reg.h"
#include "system/ShellLink.h"

namespace InstallMain {
std::int32_t StepIndex = 0;
std::wstring TempDir;
ComPtr<IUnknown> ShellLinkObject;
ComPtr<IShellLinkW> ShellLinkInterface;
ComPtr<IPersistStream> PersistInterface;
std::wstring TempPathBuffer;
}  // namespace InstallMain

using namespace InstallMain;

namespace {

std::wstring UninstallText(const wchar_t* name) {
    return RegReadHint(HKEY_LOCAL_MACHINE, Product::kUninstallKey, name);
}

// The install folder that the entry records (InstallLocation, else
// DisplayIcon's). For an upgrade, which goes there rather than into a second
// copy, the first that passes the folder rules and still holds the browser;
// for a removal, the first recorded, its text as it stands where the rules
// refuse it, for the check to refuse. Empty where there is none.
std::wstring Recorded(bool upgrade) {
    // The entry may name a drive without a medium.
    const CriticalErrorsQuiet quiet;
    for (bool icon : {false, true}) {
        const std::wstring text = UninstallText(icon ? Product::kDisplayIconValue : Product::kInstallLocationValue);
        const std::wstring folder = RegisteredFolder(text, icon);
        if (!upgrade && !text.empty())
            return folder.empty() ? text : folder;
        const DWORD attributes =
            folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW((folder + L"\\" ZARVO_BROWSER_FILE).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return folder;
    }
    return {};
}

}  // namespace

TInstallForm::TInstallForm(Application& application, void (*beforeFolderMade)())
    : application_(application), window_(application, *this), beforeFolderMade_(beforeFolderMade) {}

void TInstallForm::Create(bool withWindow) {
    if (withWindow) {
        window_.Create();
        ShowStep(0);
    }
    application_.Guard(window_.Handle(), [this] { FormCreate(); });
}

void TInstallForm::FormCreate() {
    // The banner is stored once and shown on four pages.
    for (ControlId logo : {TopLogo2, TopLogo3, TopLogo4})
        window_.SetImagePicture(logo, window_.ImagePicture(TopLogo1));
    StepIndex = 0;
    TempDir = ReadTempDir(TempPathBuffer);
    // An upgrade keeps the installed copy's folder and shortcut choice.
    shortcuts_ = ParseCommandLine(UninstallText(Product::kShortcutOptionsValue)).shortcuts;
    SetInstallDirectory(StartingFolder());
    CreateShellLinkObject(InstallMain::ShellLinkObject, ShellLinkInterface, PersistInterface);
}

void TInstallForm::ChooseShortcuts(const Product::ShortcutChoice& line) {
    if (line.desktop)
        shortcuts_.desktop = line.desktop;
    if (line.startMenu)
        shortcuts_.startMenu = line.startMenu;
}

// The install directory is the edit box's text, read afresh at every use.
std::wstring TInstallForm::InstallDirectory() const {
    return window_.Handle() ? window_.Text(InstallDir) : unshownDir_;
}

void TInstallForm::SetInstallDirectory(const std::wstring& dir) {
    unshownDir_ = dir;
    window_.SetText(InstallDir, dir.c_str());
}

void TInstallForm::FormDestroy() {
    std::wstring().swap(TempPathBuffer);
}

void TInstallForm::OnDestroy() {
    FormDestroy();
}

std::wstring InstallMain::StartingFolder() {
    const std::wstring dir = Recorded(true);
    return dir.empty() ? RegReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false,
                                       L"ProgramFilesDir") +
                             L"\\" ZARVO_SHORT_NAME
                       : dir;
}

std::wstring InstallMain::RecordedFolder() {
    return Recorded(false);
}

std::wstring InstallMain::NewerInstalledRelease() {
    constexpr ReleaseVersion ours = {ZARVO_VERSION_NUMBERS};
    std::wstring installed = UninstallText(Product::kDisplayVersionValue);
    const std::optional<ReleaseVersion> version = ParseReleaseVersion(installed);
    if (!version || *version <= ours)
        installed.clear();
    return installed;
}

void InstallMain::ReleaseInstallerState() {
    TempDir.clear();
    PersistInterface.reset();
    ShellLinkInterface.reset();
    ShellLinkObject.reset();
}
