#pragma once

#include "install/Executor.h"
#include "system/HeldFolder.h"

class LogSink;

// The running copies of the product's programs in the held folder, asked to
// close, and waited for with the window served and its status text naming
// them; those that will not close are ended, handed to the user, or kept, as
// `fate` says. Where they are kept, or the user chooses to stop, it raises
// with the system's code for packages in use (15618), before any file of the
// product changes. A removal's plan runs it as the installation's does.
void CloseRunningPrograms(const HeldFolder& folder, Closing::Fate fate, InstallProgress& progress, LogSink& log);
