#include "app/InstallMain.h"
#include "system/Product.h"

#include <iterator>

using namespace InstallMain;

// The pages in the order the user meets them: Next and Back move along it, and
// it numbers the steps. Next leaves a page only once its check passes, and
// a page's work runs as it is shown.
const TInstallForm::Page TInstallForm::kPages[] = {
    {{WelcomeTabSheet, L"下一步", false, true, true}, nullptr, nullptr},
    {{LisenseTabSheet, L"我同意", true, true, true}, nullptr, nullptr},
    {{DirTabSheet, L"下一步", true, true, true}, &TInstallForm::FolderAccepted, nullptr},
    {{ProcessTabSheet, L"下一步", false, false, false}, nullptr, &TInstallForm::Install},
    {{OverTabSheet, nullptr, false, false, false}, nullptr, nullptr},
};

namespace {
constexpr int kPageCount = static_cast<int>(std::size(TInstallForm::kPages));
static_assert(kPageCount < 10, "the step label has one digit for the count");
}  // namespace

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

int TInstallForm::PageIndex(ControlId page) {
    int index = 0;
    while (kPages[index].shows.page != page)
        ++index;
    return index;
}

void TInstallForm::ShowStep(int index) {
    window_.Show(kPages[index].shows, index + 1, kPageCount);
}

void TInstallForm::ShowPage(ControlId page) {
    ShowStep(PageIndex(page));
}

void TInstallForm::NextStepBtnClick() {
    GoForward();
}

void TInstallForm::InstallIntoTheFolder() {
    StepIndex = PageIndex(DirTabSheet);
    GoForward();
}

void TInstallForm::GoForward() {
    const Page& leaving = kPages[StepIndex];
    // A button that is disabled or hidden still clicks when it is sent a click.
    if (!leaving.shows.forward)
        return;
    if (leaving.check) {
        // The next step is told while the page's check runs; the page shows
        // again where it fails, after the box that says why or the error.
        window_.ShowStepNumber(StepIndex + 2, kPageCount);
        bool passed = false;
        try {
            passed = (this->*leaving.check)();
        } catch (...) {
            ShowStep(StepIndex);
            throw;
        }
        if (!passed) {
            ShowStep(StepIndex);
            return;
        }
    }
    ShowStep(++StepIndex);
    if (kPages[StepIndex].work)
        (this->*kPages[StepIndex].work)();
}

bool TInstallForm::FolderAccepted() {
    const std::wstring dir = InstallDirectory();
    application_.Log().Line({L"安装目录：", dir});
    // Stays where the check fails with an error: the default handler shows
    // it, the wizard waits on the directory page, and an unattended run ends
    // as a failed one.
    refusal_ = FolderRefusal::Failed;
    const Refusal refusal = EnsureDirectory(dir, installFolder_);
    refusal_ = refusal.reason;
    if (refusal_ == FolderRefusal::None) {
        installDir_ = installFolder_.path;
        return ProgramsMayClose();
    }
    application_.Message(window_.Handle(), refusal.message.c_str(), Application::kTitle,
                         MB_OK | (refusal_ == FolderRefusal::Unusable ? 0 : MB_ICONWARNING));
    return false;
}

void TInstallForm::Install() {
    // An error leaves the stage as it is: the installation failed, or did
    // not begin for programs that would not close.
    stage_ = Stage::Installing;
    RunInstallation();
    stage_ = Stage::Installed;
}

void TInstallForm::LastStepBtnClick() {
    if (kPages[StepIndex].shows.back)
        ShowStep(--StepIndex);
}

void TInstallForm::CancelBtnClick() {
    OnCloseRequest();
}

void TInstallForm::FormClose(CloseAction& action) {
    if (window_.ActivePage() == OverTabSheet)
        return;
    if (application_.Message(window_.Handle(), L"确定要退出安装程序吗？", Product::kName, MB_OKCANCEL) != IDOK)
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
        case Stage::InUse:
            return Outcome::ProgramsInUse;
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
