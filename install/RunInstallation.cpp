#include "app/InstallMain.h"
#include "install/InstallTree.h"
#include "install/PathRules.h"
#include "payload/InstalledSize.h"
#include "payload/UnitZip.h"
#include "system/EmbeddedResource.h"
#include "system/FileTransaction.h"
#include "system/Registration.h"
#include "system/RegistryUndo.h"
#include "system/RunNames.h"
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

// A tag that no earlier run left in the folders: each run makes its own.
std::wstring NewRunTag() {
    GUID id{};
    CoCreateGuid(&id);
    return RunTag(id.Data1 ^ GetTickCount());
}

// What an earlier run that was ended abruptly left behind is finished or
// undone before anything else happens, and the log says so.
void SettleEarlierRun(const InstallTree& tree, Application& application) {
    switch (FileTransaction::Settle(tree.FileFolders(), ShortcutFolders())) {
        case FileTransaction::Settled::Undone:
            application.Log().Line(L"上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。");
            break;
        case FileTransaction::Settled::Finished:
            application.Log().Line(L"上次安装已经完成：已删除它留下的旧文件。");
            break;
        case FileTransaction::Settled::Nothing:
            break;
    }
}

}  // namespace

// All fifteen files, the shortcuts and the registry values are changed
// together or not at all: until the last step, a failure puts every one of
// them back as it was before the installation began (the transaction and the
// registry's undo, as they go), and the error is then shown as ever.
void TInstallForm::RunInstallation() {
    window_.SetText(StatusLabel, L"正在创建目录，请稍候");
    // What the directory check made goes too where the installation fails:
    // the transaction ends after the tree, which holds the install folder.
    FileTransaction files(NewRunTag());
    for (const MadeFolder& made : madeFolders_)
        files.Made(made.first, made.second);
    madeFolders_.clear();
    const InstallTree tree(installDir_, std::move(installFolder_));
    SettleEarlierRun(tree, application_);
    for (const wchar_t* subDir : SubDirs)
        tree.MakeFolders(subDir, files);

    window_.SetText(StatusLabel, L"正在检查使用情况，请稍候");
    for (const wchar_t* process : ProcessNames)
        KillProcessByName(process, tree.Root(), application_.Log());
    // Every file to be replaced is held from here on: one that another
    // program holds without sharing stops the installation before anything
    // is written.
    std::vector<std::size_t> places;
    for (const wchar_t* payload : PayloadNames)
        places.push_back(tree.Hold(PayloadDestination(L"", payload, PayloadFileName(payload)), files));

    window_.SetProgressMax(52);
    {
        ScratchFolder scratch(TempDir);
        for (std::size_t i = 0; i < places.size(); ++i)
            InstallPayload(files, places[i], scratch, PayloadNames[i],
                           EmbeddedResource(PayloadResourceType(PayloadNames[i]).c_str(), PayloadNames[i]));
    }
    files.Commit();
    window_.AdvanceProgress(5);

    window_.SetText(StatusLabel, L"正在创建快捷方式");
    const bool desktop = shortcuts_.desktop.value_or(true), startMenu = shortcuts_.startMenu.value_or(true);
    CreateProductShortcuts(installDir_, desktop, startMenu, files);
    files.Commit();
    window_.AdvanceProgress(5);

    window_.SetText(StatusLabel, L"正在更新系统键值");
    RegistryUndo registry;
    WriteRegistrationEntries(installDir_, InstalledSizeKib(), ShortcutOptionsText(desktop, startMenu), registry);
    window_.SetText(StatusLabel, L"正在删除生成的临时文件");
    files.Finish(tree.Root(), WithoutTrailingBackslash(installDir_));
    registry.Dismiss();
    window_.SetText(OrderLabel, StepLabel(5));
    window_.AdvanceProgress(10);

    window_.SetVisible(NextStepBtn, false);
    window_.SetVisible(OverBtn, true);
    window_.SetActivePage(OverTabSheet);
}

// One payload, through a temporary copy of its container, written beside its
// place. The resource is found before this is called, so a missing one does
// not advance the bar.
void TInstallForm::InstallPayload(FileTransaction& files,
                                  std::size_t place,
                                  ScratchFolder& scratch,
                                  const std::wstring& name,
                                  EmbeddedResource resource) {
    const ProgressStep step(window_, 2);
    const EmbeddedResource held = std::move(resource);  // released before the bar advances
    const std::wstring fileName = PayloadFileName(name);

    window_.SetText(StatusLabel, (L"正在抽取：" + name + L".zip").c_str());
    application_.ProcessMessages();
    // Written, read back and deleted through one handle that nobody shares.
    const UniqueHandle copy = scratch.WriteCopy(fileName, held.Data(), held.Size());

    window_.SetText(StatusLabel, (L"正在解压缩：" + fileName).c_str());
    application_.ProcessMessages();
    ByteBuffer plain;
    DecompressFile(copy.get(), plain);
    files.Write(place, plain.data(), plain.size());
}
