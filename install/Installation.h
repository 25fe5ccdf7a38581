#pragma once

#include "install/Executor.h"
#include "install/FolderCheck.h"
#include "install/Plan.h"
#include "system/Product.h"
#include "system/ShellLink.h"

#include <string>

class LogSink;

// What the installation is asked to do.
struct InstallRequest {
    // The install folder as the directory check accepted it.
    InstallFolder folder;
    // The user's temporary directory, for the payloads' temporary copies.
    std::wstring tempDir;
    // The shortcuts to make, and the choice as the Uninstall entry records it.
    Product::ShortcutChoice shortcuts;
    std::wstring shortcutsText;
    // What becomes of running programs of the product that will not close.
    Closing::Fate closing = Closing::Fate::Ask;
    // The installer's shell-link object, which makes the shortcuts' files.
    IShellLinkW* link = nullptr;
    IPersistStream* persist = nullptr;
    // The product is removed instead, from the folder: nothing else above counts.
    bool removing = false;
    // Or one of the commands that Windows runs for a browser is carried out,
    // with the shortcuts above.
    ShellCommand command = ShellCommand::None;
    // The browsers that the run closes are started again once it is done.
    bool restart = true;
    // Set by the run: one was started for the installer's own user.
    bool browserStarted = false;
};

// The installation, or the removal that the request asks for: looks at what
// the machine holds, plans the actions that make it hold the product (or no
// longer), and runs them, logging each. All of the files, shortcuts and
// registry values change, or, when an action fails, none: the actions done are
// undone and the failure goes on to the caller.
// True where a browser that it closed was started again for the installer's
// own user.
bool InstallProduct(InstallRequest request, InstallProgress& progress, LogSink& log);
