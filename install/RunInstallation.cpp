#include "app/InstallMain.h"
#include "install/InstallTree.h"
#include "payload/InstalledSize.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/Registration.h"
#include "system/ScratchFolder.h"
#include "system/Shortcut.h"

using namespace InstallMain;

namespace {

// Advances the progress bar when a payload's iteration is left, whether it
// succeeded or failed.
class ProgressStep {
  public:
    ProgressStep(WizardWindow& window, int amount) : window_(window), amount_(amount) {}
    ProgressStep(const ProgressStep&) = delete;
    ProgressStep& operator=(const ProgressStep&) = delete;
    ~ProgressStep() { window_.AdvanceProgress(amount_); }

  private:
    WizardWindow& window_;
    int amount_;
};

}  // namespace

void TInstallForm::RunInstallation() {
    window_.SetText(StatusLabel, L"正在创建目录，请稍候");
    InstallTree tree(installDir_);
    for (const wchar_t* subDir : SubDirs)
        tree.MakeFolders(subDir);

    window_.SetText(StatusLabel, L"正在检查使用情况，请稍候");
    for (const wchar_t* process : ProcessNames)
        KillProcessByName(process, installDir_, application_.Log());

    window_.SetProgressMax(52);
    ScratchFolder scratch(TempDir);
    for (const wchar_t* payload : PayloadNames)
        InstallPayload(tree, scratch, payload, EmbeddedResource(PayloadResourceType(payload).c_str(), payload));
    // Empty now; a failure of a later step leaves nothing behind.
    scratch.Remove();
    window_.AdvanceProgress(5);

    window_.SetText(StatusLabel, L"正在创建快捷方式");
    CreateProductShortcuts(installDir_);
    window_.AdvanceProgress(5);

    window_.SetText(StatusLabel, L"正在更新系统键值");
    WriteRegistrationEntries(installDir_, InstalledSizeKib());
    window_.SetText(StatusLabel, L"正在删除生成的临时文件");
    window_.SetText(OrderLabel, StepLabel(5));
    window_.AdvanceProgress(10);

    window_.SetVisible(NextStepBtn, false);
    window_.SetVisible(OverBtn, true);
    window_.SetActivePage(OverTabSheet);
}

// One payload, through a temporary copy of its container. The resource is
// found before this is called, so a missing one does not advance the bar.
void TInstallForm::InstallPayload(InstallTree& tree,
                                  ScratchFolder& scratch,
                                  const std::wstring& name,
                                  EmbeddedResource resource) {
    const ProgressStep step(window_, 2);
    const EmbeddedResource held = std::move(resource);  // released before the bar advances
    const std::wstring fileName = PayloadFileName(name);

    window_.SetText(StatusLabel, L"正在抽取：" + name + L".zip");
    application_.ProcessMessages();
    // Written, read back and deleted through one handle that nobody shares.
    const UniqueHandle copy = scratch.WriteCopy(fileName, held.Data(), held.Size());

    window_.SetText(StatusLabel, L"正在解压缩：" + fileName);
    application_.ProcessMessages();
    ByteBuffer plain;
    DecompressFile(copy.get(), plain);
    tree.WriteFile(PayloadDestination(L"", name, fileName), plain.data(), plain.size());
    DeleteHeld(copy.get());
}
