#include "app/InstallMain.h"
#include "app/Texts.h"
#include "system/Error.h"
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

// The removal: the question (Next removes, Cancel leaves), then the same
// copying and last pages, with texts of their own.
const TInstallForm::Page TInstallForm::kRemovalPages[] = {
    {{WelcomeTabSheet, L"卸载", false, true, true}, &TInstallForm::FolderAccepted, nullptr},
    {{ProcessTabSheet, L"下一步", false, false, false}, nullptr, &TInstallForm::Install},
    {{OverTabSheet, nullptr, false, false, false}, nullptr, nullptr},
};

namespace {

static_assert(std::size(TInstallForm::kPages) < 10, "the step label has one digit for the count");

struct PageText {
    ControlId control;
    const wchar_t* text;
};
constexpr PageText kRemovalTexts[] = {
    {NameLabel, L"卸载 泽沃浏览器"},
    {MoreIntrod,
     L"将删除泽沃浏览器的程序文件、快捷方式和注册表信息，您自己的文件会保留。正在运行的泽沃浏览器将被关闭。\r\n"},
    {CopyLabel, L"正在卸载"},
    {CopyIntrodLabel, L"正在从您的计算机中删除泽沃浏览器，请稍候"},
    {OverTitleLabel, L"卸载完成"},
    {OverLabel, L"泽沃浏览器已从您的计算机中删除，单击完成按钮退出。"},
};

}  // namespace

void TInstallForm::Removing(const std::wstring& dir) {
    removing_ = true;
    pages_ = kRemovalPages;
    SetInstallDirectory(dir);
    for (const PageText& row : kRemovalTexts)
        window_.SetText(row.control, row.text);
    for (ControlId action : {Run, VistaHome, CheckBoxLeadWeb, CheckBoxSetIEHome})
        window_.SetVisible(action, false);
    ShowStep(0);
}

void TInstallForm::Commanding(ShellCommand command, const std::wstring& dir) {
    command_ = command;
    pages_ = kRemovalPages;
    SetInstallDirectory(dir);
    // Shown as the installation makes them: both places.
    const bool shown = command != ShellCommand::HideIcons;
    shortcuts_ = {shown, shown};
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

int TInstallForm::PageCount() const {
    return static_cast<int>(removing_ ? std::size(kRemovalPages) : std::size(kPages));
}

int TInstallForm::PageIndex(ControlId page) const {
    int index = 0;
    while (pages_[index].shows.page != page)
        ++index;
    return index;
}

void TInstallForm::ShowStep(int index) {
    window_.Show(pages_[index].shows, index + 1, PageCount());
}

void TInstallForm::ShowPage(ControlId page) {
    ShowStep(PageIndex(page));
}

void TInstallForm::NextStepBtnClick() {
    GoForward();
}

void TInstallForm::InstallIntoTheFolder() {
    for (StepIndex = 0; !pages_[StepIndex].check;)
        ++StepIndex;
    GoForward();
}

void TInstallForm::GoForward() {
    const Page& leaving = pages_[StepIndex];
    // A button that is disabled or hidden still clicks when it is sent a click.
    if (!leaving.shows.forward)
        return;
    if (leaving.check) {
        // The next step is told while the page's check runs; the page shows
        // again where it fails, after the box that says why or the error.
        window_.ShowStepNumber(StepIndex + 2, PageCount());
        bool passed = false;
        try {
            passed = (this->*leaving.check)();
        } catch (...) {
            outcome_ = FailureOutcome();
            ShowStep(StepIndex);
            throw;
        }
        if (!passed) {
            ShowStep(StepIndex);
            return;
        }
    }
    ShowStep(++StepIndex);
    if (!pages_[StepIndex].work)
        return;
    try {
        (this->*pages_[StepIndex].work)();
    } catch (...) {
        outcome_ = FailureOutcome();
        throw;
    }
}

// What stopped the installation, the removal or the check: programs that
// would not close and were not to be ended, or any other error.
Outcome TInstallForm::FailureOutcome() const {
    try {
        throw;
    } catch (const Error& error) {
        if (error.Code() == ERROR_PACKAGES_IN_USE)
            return Outcome::ProgramsInUse;
    } catch (...) {
    }
    return removing_ ? Outcome::RemovalFailed : Outcome::Failed;
}

bool TInstallForm::FolderAccepted() {
    const std::wstring dir = InstallDirectory();
    application_.Log().Line({kInstallFolderLine, dir});
    const Refusal refusal = EnsureDirectory(dir, installFolder_);
    if (refusal.reason == FolderRefusal::None) {
        installDir_ = installFolder_.path;
        return ProgramsMayClose();
    }
    // Without a user to choose again, a refusal ends the run; a removal's has
    // nothing else to choose, and fails.
    outcome_ = removing_ ? Outcome::RemovalFailed : OutcomeOf(refusal.reason);
    application_.Message(window_.Handle(), refusal.message.c_str(), Application::kTitle,
                         MB_OK | (refusal.reason == FolderRefusal::Unusable ? 0 : MB_ICONWARNING));
    return false;
}

void TInstallForm::Install() {
    RunInstallation();
    // In the order of ShellCommand.
    static constexpr Outcome kDone[] = {Outcome::Installed, Outcome::DefaultSet, Outcome::IconsHidden,
                                        Outcome::IconsShown};
    outcome_ = removing_ ? Outcome::Removed : kDone[static_cast<int>(command_)];
}

void TInstallForm::LastStepBtnClick() {
    if (pages_[StepIndex].shows.back)
        ShowStep(--StepIndex);
}

void TInstallForm::CancelBtnClick() {
    OnCloseRequest();
}

void TInstallForm::FormClose(CloseAction& action) {
    if (window_.ActivePage() == OverTabSheet)
        return;
    if (application_.Message(window_.Handle(), removing_ ? kLeaveRemovalQuestion : kLeaveInstallationQuestion,
                             Product::kName, MB_OKCANCEL) != IDOK)
        action = CloseAction::None;
    // A close granted while copying lets the installation run to its end,
    // which then tells the outcome.
    else if (!pages_[StepIndex].work)
        outcome_ = removing_ ? Outcome::RemovalCancelled : Outcome::Cancelled;
}

Outcome TInstallForm::RunOutcome() const {
    // A wizard left with nothing decided was cancelled.
    return outcome_.value_or(removing_ ? Outcome::RemovalCancelled : Outcome::Cancelled);
}
