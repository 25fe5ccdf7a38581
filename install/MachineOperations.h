#pragma once

#include "install/Areas.h"
#include "install/Executor.h"
#include "install/FilePlaces.h"
#include "install/Installation.h"
#include "install/RegistryValues.h"
#include "system/ScratchFolder.h"

#include <memory>
#include <string>
#include <vector>

class LogSink;

// The installation's actions carried out on this machine: in the install
// folder that the directory check holds, the shortcuts' folders and the
// registry, with the window showing how far it is.
class MachineOperations final : public Operations {
  public:
    // `tag` names the run's own files (system/RunNames.h).
    MachineOperations(InstallRequest& request, InstallProgress& progress, LogSink& log, std::wstring tag);

    // What the machine holds, as the plan starts from it.
    Situation Look();

    void Do(const Action& action) override;
    void Undo(const Action& action) override;
    const AreaPaths& Folders() const override { return areas_.Paths(); }

  private:
    void MakeFolder(const Action& action);
    void Write(const Action& action);
    void SetValue(const Action& action);
    void Discard(const Action& action);
    void Finish();
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
    // The payloads' temporary copies, by their number.
    UniqueHandle copies_[Product::kFileCount];
    // The runs whose kept files could not go.
    std::vector<std::wstring> unfinished_;
};
