#pragma once

#include "install/Areas.h"
#include "install/FilePlaces.h"
#include "install/Installation.h"
#include "install/MachineSteps.h"
#include "install/RegistryValues.h"
#include "system/ScratchFolder.h"
#include "system/StartRoute.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class LogSink;

// The installation's actions carried out on this machine: in the install
// folder that the directory check holds, the shortcuts' folders and the
// registry.
class MachineOperations final : public MachineSteps {
  public:
    // `tag` names the run's own files (system/RunNames.h); `progress` is asked
    // about running programs that will not close.
    MachineOperations(InstallRequest& request, InstallProgress& progress, LogSink& log, std::wstring tag);

    // What the machine holds, as the plan starts from it.
    Situation Look();

    std::wstring Describe(const Action& action) const override;

  private:
    // The one switch gives each step of the installation its routine here.
    friend class MachineSteps;

    void MakeFolder(const Action& action, bool undo);
    void ClosePrograms(const Action& action, bool undo);
    void Discard(const Action& action, bool undo);
    void PutBack(const Action& action, bool undo);
    void Restore(const Action& action, bool undo);
    void SetAside(const Action& action, bool undo);
    void Journal(const Action& action, bool undo);
    void Hold(const Action& action, bool undo);
    void Copy(const Action& action, bool undo);
    void Write(const Action& action, bool undo);
    void Place(const Action& action, bool undo);
    void SetValue(const Action& action, bool undo);
    void Finish(const Action& action, bool undo);
    void AtRestart(const Action& action, bool undo);
    void StartAgain(const Action& action, bool undo);
    void Remove(const Action& action, bool undo);
    void DeleteValue(const Action& action, bool undo);
    void Forget(const Action& action, bool undo);
    void RemoveFolder(const Action& action, bool undo);
    void RemoveKey(const Action& action, bool undo);
    // The browsers of the copies started again, where the request allows;
    // true where one was started for the installer's own user.
    bool StartBrowsers(const std::vector<ClosedCopy>& copies);
    // The value of the action written or deleted by `change`; where that
    // fails, what it did to the key goes again.
    void ChangeValue(const Action& action, bool undo, void (RegistryValues::*change)(int));
    // Reads and judges the journal at the path: why it is not to be used,
    // empty where it may be.
    std::wstring ReadJournal(const std::wstring& path, UniqueHandle& file, std::vector<JournalValue>& values);

    InstallRequest& request_;
    InstallProgress& progress_;
    LogSink& log_;
    std::wstring tag_;
    Areas areas_;
    FilePlaces files_;
    RegistryValues registry_;
    std::unique_ptr<ScratchFolder> scratch_;
    // The payloads' temporary copies, in the order of the product's files.
    UniqueHandle copies_[Product::kFileCount];
    // The runs whose kept files could not go.
    std::vector<std::wstring> unfinished_;
    // The kept files of this run that a running program still maps at its
    // end, and whether its marker waits for them.
    std::vector<std::wstring> mapped_;
    bool marked_ = false;
    // Whether the program that runs is the kept installer.
    bool keptRunning_ = false;
    // A removal's marker, held until the install folder goes.
    UniqueHandle marker_;
    // The browsers that each closing action closed.
    std::vector<std::pair<const Action*, std::vector<ClosedCopy>>> closed_;
};
