#include "install/Installation.h"

#include "install/MachineOperations.h"
#include "system/RunNames.h"

#include <objbase.h>

namespace {

// A tag that no earlier run left in the folders: each run makes its own.
std::wstring NewRunTag() {
    GUID id{};
    CoCreateGuid(&id);
    return RunTag(id.Data1 ^ GetTickCount());
}

}  // namespace

bool InstallProduct(InstallRequest request, InstallProgress& progress, LogSink& log) {
    try {
        MachineOperations operations(request, progress, log, NewRunTag());
        const Situation situation = operations.Look();
        Execute(request.command != ShellCommand::None ? PlanCommand(situation, request.command)
                : request.removing                    ? PlanRemoval(situation)
                                                      : PlanInstallation(situation),
                operations, log, &progress);
        return request.browserStarted;
    } catch (...) {
        // The folders that the directory check made go last, once nothing of
        // the run holds them.
        Undo(request.folder.made, request.folder.making, log);
        throw;
    }
}
