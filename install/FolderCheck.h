#pragma once

#include "install/Executor.h"
#include "install/PathRules.h"
#include "system/HeldFolder.h"

#include <string>
#include <vector>

// The folders on the install folder's path that the directory check makes,
// each below the one before through its handle, with the product's access
// list in the call that makes it: a name that appears meanwhile, a link
// included, fails it and is never followed.
class MadeFolders final : public Operations {
  public:
    // Makes the folders below that one, held.
    void Below(HeldFolder folder) { last_ = std::move(folder); }

    // Made (the action's path is the folder's, in full), or removed again,
    // innermost first, empty by then and held by nobody of the installer.
    void Do(const Action& action) override;
    void Undo(const Action& action) override;
    std::wstring Describe(const Action& action) const override;
    bool Undoable(const Action&) const override { return true; }

    // The last folder made, held.
    HeldFolder TakeLast() { return std::move(last_); }

  private:
    HeldFolder last_;
    // The folder that each was made in, held.
    std::vector<HeldFolder> parents_;
};

// The install folder as the directory check accepted it.
struct InstallFolder {
    // Held from the check on, which judged this very folder.
    HeldFolder held;
    // The path that the system knows the folder by, through no link: what
    // everything after the check names.
    std::wstring path;
    // The folder that holds it, where it is to be removed.
    HeldFolder above;
    // The outermost folder above it that an installation made: the one that
    // the check made, else the one that the entry records for this folder,
    // which an upgrade keeps and a removal removes.
    std::wstring madeAbove;
    // The folders that the check made on its way, and how: a failed
    // installation undoes them last.
    Plan made;
    MadeFolders making;
};

// Why the directory check refused a folder, in the words of the box that
// says so.
struct Refusal {
    FolderRefusal reason = FolderRefusal::None;
    std::wstring message;
};

// The directory check, which gives the folder that it accepts: nothing is made
// until the text, the rights on the way and the room are known good; a
// refusal says why, and undoes and lets go of what it made. `beforeMaking`
// runs just before the making, for tests that race it. An `installed` copy's
// folder, which a removal takes, must hold the product, reached from its
// drive's root through no link, and is held with the folder above it; one that
// is gone is accepted with nothing held (its path alone); nothing is made.
Refusal CheckInstallFolder(const std::wstring& dir,
                           const std::wstring& tempDir,
                           InstallFolder& folder,
                           LogSink& log,
                           void (*beforeMaking)() = nullptr,
                           bool installed = false);
