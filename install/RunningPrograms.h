#pragma once

#include "install/Executor.h"
#include "system/HeldFolder.h"
#include "system/StartRoute.h"

#include <vector>

class LogSink;

// The running copies of the product's programs in the held folder, asked to
// close, and waited for with the window served and its status text naming
// them; those that will not close are ended, handed to the user, or kept, as
// `fate` says; the folder is then looked at again, for copies that started
// meanwhile, until none runs. Where they are kept, the user chooses to stop,
// or copies keep starting, it raises with the system's code for packages in
// use (15618), before any file of the product takes its place. The plans run
// it before their first change and again before the first file takes a name.
// Each copy of the browser that went is added to `closed`, also where it
// raises.
void CloseRunningPrograms(const HeldFolder& folder,
                          Closing::Fate fate,
                          InstallProgress& progress,
                          LogSink& log,
                          std::vector<ClosedCopy>& closed);
