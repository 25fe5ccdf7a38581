#include "app/InstallMain.h"
#include "system/MessageText.h"
#include "system/RunLog.h"

using namespace InstallMain;

// The one pass that lays down the product, or removes it, as a plan of
// actions run by one executor: all fifteen files, the shortcuts and the
// registry values change together or not at all, and an error is shown as
// ever once everything is back as it was.
void TInstallForm::RunInstallation() {
    InstallRequest request;
    request.folder = std::move(installFolder_);
    request.tempDir = TempDir;
    request.shortcuts = shortcuts_;
    request.closing = closingFate_;
    request.shortcutsText = ShortcutOptionsText(shortcuts_);
    request.link = ShellLinkInterface.get();
    request.persist = PersistInterface.get();
    request.removing = removing_;
    request.command = command_;
    request.restart = restart_;
    browserStarted_ = InstallProduct(std::move(request), *this, application_.Log());
    // The installation moves on to the page after its own; the step counter
    // stays where the user left it.
    ShowStep(StepIndex + 1);
}

void TInstallForm::ShowStatus(const std::wstring& text, bool pump) {
    if (!text.empty())
        window_.SetText(StatusLabel, text.c_str());
    if (pump)
        application_.ProcessMessages();
}
