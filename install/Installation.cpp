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

void InstallProduct(InstallRequest request, InstallProgress& progress, LogSink& log) {
    MachineOperations operations(request, log, NewRunTag());
    Execute(PlanInstallation(operations.Look()), operations, log, &progress);
}
