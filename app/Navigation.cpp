#include "app/InstallMain.h"

using namespace InstallMain;

void TInstallForm::OnClick(ControlId control) {
    switch (control) {
        case NextStepBtn:
            NextStepBtnClick();
            break;
        case LastStepBtn:
            LastStepBtnClick();
            break;
        case BrowseBtn:
            BrowseBtnClick();
            break;
        case OverBtn:
            OverBtnClick();
            break;
        case CancelBtn:
            CancelBtnClick();
            break;
        default:
            break;
    }
}

void TInstallForm::OnCloseRequest() {
    CloseAction action = CloseAction::Free;
    FormClose(action);
    if (action != CloseAction::None)
        application_.Terminate();
}

void TInstallForm::NextStepBtnClick() {
    ++StepIndex;
    if (StepIndex < 3)
        window_.Show(StepIndex == 1 ? WizardState::Licence : WizardState::Directory);
    else if (StepIndex == 3)
        InstallIntoTheFolder();
}

void TInstallForm::InstallIntoTheFolder() {
    // The step of the copying page is told while the folder is checked.
    window_.SetText(OrderLabel, PageDefOf(WizardState::Copying).stepLabel);
    const std::wstring dir = InstallDirectory();
    application_.Log().Line({L"安装目录：", dir});
    bool accepted = false;
    try {
        accepted = DirectoryAccepted(dir);
    } catch (...) {
        // The default handler shows the error; the wizard waits on the
        // directory page, as after a refusal, and an unattended run ends as
        // a failed one.
        refusal_ = FolderRefusal::Failed;
        StepIndex = 2;
        window_.Show(WizardState::Directory);
        throw;
    }
    StepIndex = accepted ? 3 : 2;
    window_.Show(accepted ? WizardState::Copying : WizardState::Directory);
    if (!accepted)
        return;
    // An error leaves the stage as it is: the installation failed.
    stage_ = Stage::Installing;
    RunInstallation();
    stage_ = Stage::Installed;
}

void TInstallForm::LastStepBtnClick() {
    --StepIndex;
    window_.Show(StepIndex == 0 ? WizardState::Welcome : WizardState::Licence);
}

void TInstallForm::CancelBtnClick() {
    OnCloseRequest();
}

void TInstallForm::FormClose(CloseAction& action) {
    if (window_.ActivePage() == OverTabSheet)
        return;
    if (application_.Message(window_.Handle(), L"确定要退出安装程序吗？", L"泽沃浏览器", MB_OKCANCEL) != IDOK)
        action = CloseAction::None;
    else if (stage_ == Stage::Wizard)
        stage_ = Stage::Cancelled;
}

// A close granted while copying lets the installation run to its end, which
// then tells the outcome.
Outcome TInstallForm::RunOutcome() const {
    switch (stage_) {
        case Stage::Installed:
            return Outcome::Installed;
        case Stage::Installing:
            return Outcome::Failed;
        case Stage::Wizard:
            // Without a user to choose again, a refusal ends the run.
            if (refusal_ != FolderRefusal::None)
                return OutcomeOf(refusal_);
            break;
        case Stage::Cancelled:
            break;
    }
    return Outcome::Cancelled;
}
