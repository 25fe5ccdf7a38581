#pragma once

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "install/Installation.h"
#include "payload/Catalogue.h"
#include "system/ComPtr.h"
#include "system/Handles.h"
#include "system/HeldFolder.h"
#include "ui/Application.h"
#include "ui/WizardWindow.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class CloseAction { None, Free };

// The wizard window with its handlers, and the routines of the installation
// that need no window (the static ones).
class TInstallForm final : private InstallProgress, public FormEvents {
  public:
    // `beforeFolderMade` runs in the directory check between its first look
    // at the folder and the making of what is missing.
    explicit TInstallForm(Application& application, void (*beforeFolderMade)() = nullptr);

    // Creates the window from its definition (unless it is never to be seen)
    // and runs FormCreate; an error of a creation step is shown and the window
    // still opens.
    void Create(bool withWindow = true);
    void Show() { window_.Show(); }
    // Shows that page of the wizard, as navigation would.
    void ShowPage(ControlId page);
    void Destroy() { window_.Destroy(); }
    WizardWindow& Window() { return window_; }

    void FormCreate();
    void FormDestroy();
    void FormClose(CloseAction& action);
    void NextStepBtnClick();
    void LastStepBtnClick();
    void BrowseBtnClick();
    void CancelBtnClick();
    void OverBtnClick();

    // The install folder's text: the edit box's, or in a run without the
    // window the one that it would show.
    std::wstring InstallDirectory() const;
    void SetInstallDirectory(const std::wstring& dir);

    // The shortcuts that the command line chooses, over those that the
    // installed copy's entry records.
    void ChooseShortcuts(const Product::ShortcutChoice& line);
    // What becomes of the product's running programs that will not close:
    // the user is asked unless the run is unattended.
    void ChooseClosingFate(Closing::Fate fate) { closingFate_ = fate; }
    // Whether the browsers that the installation closes are started again.
    void ChooseRestart(bool restart) { restart_ = restart; }

    // Makes the wizard the removal of the copy installed in `dir`: its pages
    // and texts, and the folder that it removes from.
    void Removing(const std::wstring& dir);
    // Makes the run the command that Windows runs for a browser, of the copy
    // installed in `dir`: its folder checked as a removal's, then the work.
    void Commanding(ShellCommand command, const std::wstring& dir);

    // What Next does on the page whose check leads to the work (the directory
    // page; the removal's question), for a run without the wizard: the check,
    // then the installation or the removal.
    void InstallIntoTheFolder();
    // How the run has ended, once the window is done with.
    Outcome RunOutcome() const;

    // The one pass that lays down the product: directories, running copies
    // closed, payloads unpacked, shortcuts, registration, the finished page.
    // In a removal, its counterpart: the product's files, shortcuts and
    // values removed, and its folders and keys where they are left empty.
    void RunInstallation();

    // The directory check of the folder's text (install/FolderCheck.h),
    // which gives the folder that it accepts.
    Refusal EnsureDirectory(const std::wstring& dir, InstallFolder& folder);

    // A page of the wizard: what the window shows with it, the check that
    // must pass before Next leaves it, and the work done once it is shown.
    struct Page {
        PageDef shows;
        bool (TInstallForm::*check)();
        void (TInstallForm::*work)();
    };
    static const Page kPages[];
    static const Page kRemovalPages[];

  private:
    int PageIndex(ControlId page) const;
    int PageCount() const;
    void ShowStep(int index);
    // Leaves the page at StepIndex for the next one, once its check passes.
    void GoForward();
    // The directory page's check, of the folder that the edit box names: its
    // text, who could change it, the disk space, then the folder made and
    // held (in a removal, the installed copy's folder held as it is). Shows
    // the box that says why, and is false, where the folder cannot be used.
    bool FolderAccepted();
    // Where copies of the product's programs run from the accepted folder,
    // the user is told that they will be closed, to save first; Cancel lets
    // the folder go, nothing changed, and the page stays.
    bool ProgramsMayClose();
    // The copying page's work: the installation, or the removal.
    void Install();
    // The outcome of the error being handled, which stopped a page's check
    // or work.
    Outcome FailureOutcome() const;

    // What the installation asks of the form.
    void ShowStatus(const std::wstring& text, bool pump) override;
    void SetProgressMax(int maximum) override { window_.SetProgressMax(maximum); }
    void AdvanceProgress(int amount) override { window_.AdvanceProgress(amount); }
    StillRunning ProgramsStillRunning(const std::wstring& names) override;

    void OnClick(ControlId control) override;
    void OnCloseRequest() override;
    void OnDestroy() override;

    Application& application_;
    WizardWindow window_;
    // The folder's text where the window is never made.
    std::wstring unshownDir_;
    // The install folder's path as the directory check found it, through no
    // link: the installation and the finish actions name this folder,
    // whatever the edit box is made to say afterwards.
    std::wstring installDir_;
    // The install folder as the check accepted it, held until the
    // installation ends.
    InstallFolder installFolder_;
    // Run by the directory check before it makes anything; tests race it there.
    void (*beforeFolderMade_)();
    // The pages that the wizard walks: the installation's, or the removal's.
    const Page* pages_ = kPages;
    bool removing_ = false;
    ShellCommand command_ = ShellCommand::None;
    // The shortcuts to make: unset where neither the command line nor the
    // installed copy's entry says, and then made.
    Product::ShortcutChoice shortcuts_;
    // How the run ended, as the last thing that decided it has it: a
    // refusal, a cancel, the installation's end or what stopped it.
    std::optional<Outcome> outcome_;
    Closing::Fate closingFate_ = Closing::Fate::Ask;
    bool restart_ = true;
    // The installation started the browser that it closed for the user at
    // the desktop: the finish action does not start a second one.
    bool browserStarted_ = false;
};

// The unit's installer state: lives for the whole process and is touched only
// on the GUI thread.
namespace InstallMain {

extern std::int32_t StepIndex;
extern std::wstring TempDir;
extern ComPtr<IUnknown> ShellLinkObject;
extern ComPtr<IShellLinkW> ShellLinkInterface;
extern ComPtr<IPersistStream> PersistInterface;

// Receives the raw temporary path from the system.
extern std::wstring TempPathBuffer;

inline constexpr const auto& SubDirs = Product::kFolders;
inline constexpr const auto& ProcessNames = Product::kPrograms;

using ::PayloadNames;

// Gives back the strings and COM references of the installer state; called at
// program end before COM is uninitialised.
void ReleaseInstallerState();

// The folder that an installation starts from: the installed copy's, which
// an upgrade keeps, else the product's below Program Files.
std::wstring StartingFolder();

// The install folder that the product's Uninstall entry records
// (InstallLocation, else DisplayIcon's folder), its text as it stands where
// the folder rules refuse it; empty where the entry records neither.
std::wstring RecordedFolder();

// The version that the product's Uninstall entry records, where it is newer
// than this installer's; empty otherwise, also where the text is no version
// of ours.
std::wstring NewerInstalledRelease();

}  // namespace InstallMain
