#pragma once

#include "app/CommandLine.h"
#include "app/InstallMain.h"

// Installs as a user who leaves the directory page of the wizard does, for
// an application that shows no boxes, with no finish action after it. The window, which must have
// been created, stays hidden in a quiet run; a passive run shows it from the
// copying page on, and the caller then closes it.
Outcome InstallUnattended(TInstallForm& form, Application& application, SetupMode mode);
