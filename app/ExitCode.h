#pragma once

// What the installer's exit code says; the README lists them for
// administrators.
enum ExitCode : int {
    kInstalled = 0,           // and every end of the wizard
    kNotStarted = 1,          // the window, or the log file asked for, could not be made
    kFolderRefused = 2,       // the install folder cannot be installed to
    kInstallationFailed = 3,  // the installation stopped at an error
    kInstallerDamaged = 4,    // a payload container is not as the build made it
};
