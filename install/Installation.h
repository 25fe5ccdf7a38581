#pragma once

#include "system/HeldFolder.h"
#include "system/Product.h"

#include <string>
#include <vector>

class LogSink;

// What the installation asks of the program that runs it: the window that
// shows how far it is, and the form's own routines for the programs to end
// and the shortcuts' contents.
class InstallHost {
  public:
    // Sets the status text; with `pump`, the window then handles whatever is
    // pending, so that it repaints.
    virtual void ShowStatus(const std::wstring& text, bool pump) = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void AdvanceProgress(int amount) = 0;
    // Ends the running copies of the program of that name in the held install
    // folder.
    virtual void EndProgram(const std::wstring& executableName, const HeldFolder& installFolder) = 0;
    // The file of the shortcut as it is saved, its target in `dir`; empty
    // when the shell cannot make it.
    virtual std::vector<unsigned char> ShortcutFile(const Product::Shortcut& shortcut, const std::wstring& dir) = 0;

  protected:
    ~InstallHost() = default;
};

// What the directory check hands to the installation.
struct InstallRequest {
    // The install folder as every value, shortcut and finish action names it.
    std::wstring dir;
    // That folder, held since the check judged it.
    HeldFolder folder;
    // The folders the check made, outermost first.
    std::vector<MadeFolder> made;
    // The user's temporary directory, for the payloads' temporary copies.
    std::wstring tempDir;
    // The shortcuts to make: the desktop's and the Start-menu group's, and
    // the choice as the Uninstall entry records it.
    bool desktop = true;
    bool group = true;
    std::wstring choice;
};

// The installation: looks at what the machine holds, plans the actions that
// make it hold the product, and runs them, logging each. All of the files,
// shortcuts and registry values change, or, when an action fails, none: the
// actions done are undone and the failure goes on to the caller.
void InstallProduct(InstallRequest request, InstallHost& host, LogSink& log);
