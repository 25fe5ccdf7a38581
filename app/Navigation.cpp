#include "app/InstallMain.h"

using namespace InstallMain;

namespace {
const wchar_t* const kStepLabels[] = {L"当前第1步，共5步。", L"当前第2步，共5步。", L"当前第3步，共5步。",
                                      L"当前第4步，共5步。", L"当前第5步，共5步。"};
}

const wchar_t* TInstallForm::StepLabel(int step) {
    return kStepLabels[step - 1];
}

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
    switch (StepIndex) {
        case 1:
            window_.SetVisible(LastStepBtn, true);
            window_.SetText(NextStepBtn, L"我同意");
            window_.SetActivePage(LisenseTabSheet);
            window_.SetText(OrderLabel, StepLabel(2));
            break;
        case 2:
            window_.SetActivePage(DirTabSheet);
            window_.SetText(NextStepBtn, L"下一步");
            window_.SetText(OrderLabel, StepLabel(3));
            break;
        case 3: {
            window_.SetText(OrderLabel, StepLabel(4));
            const std::wstring dir = InstallDirectory();
            application_.Log().Line({L"安装目录：", dir});
            const auto backToDirectoryPage = [this] {
                StepIndex = 2;
                window_.SetActivePage(DirTabSheet);
                window_.SetText(OrderLabel, StepLabel(3));
            };
            bool accepted = false;
            try {
                accepted = DirectoryAccepted(dir);
            } catch (...) {
                // The default handler shows the error; the wizard waits on the
                // directory page, as after a refusal, and an unattended run
                // ends as a failed one.
                refusal_ = FolderRefusal::Failed;
                backToDirectoryPage();
                throw;
            }
            if (!accepted) {
                backToDirectoryPage();
                return;
            }
            EnterCopyingPage();
            // An error leaves the stage as it is: the installation failed.
            stage_ = Stage::Installing;
            RunInstallation();
            stage_ = Stage::Installed;
            break;
        }
        default:
            break;
    }
}

void TInstallForm::EnterCopyingPage() {
    window_.SetVisible(LastStepBtn, false);
    window_.SetEnabled(CancelBtn, false);
    window_.SetEnabled(NextStepBtn, false);
    window_.SetActivePage(ProcessTabSheet);
}

void TInstallForm::LastStepBtnClick() {
    --StepIndex;
    switch (StepIndex) {
        case 0:
            window_.SetActivePage(WelcomeTabSheet);
            window_.SetText(NextStepBtn, L"下一步");
            window_.SetVisible(LastStepBtn, false);
            window_.SetEnabled(NextStepBtn, true);
            window_.SetText(OrderLabel, StepLabel(1));
            break;
        case 1:
            window_.SetActivePage(LisenseTabSheet);
            window_.SetText(NextStepBtn, L"我同意");
            window_.SetText(OrderLabel, StepLabel(2));
            break;
        default:
            break;
    }
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
