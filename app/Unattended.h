#pragma once

#include "app/CommandLine.h"
#include "app/InstallMain.h"

// Installs as a user who leaves the directory page of the wizard does, into
// the /D= folder or else the default, without showing the window, which must
// have been created; no finish action follows. Returns the exit code.
int InstallUnattended(TInstallForm& form, Application& application, const SetupOptions& options);
