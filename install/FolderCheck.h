#pragma once

#include "install/MachineSteps.h"
#include "install/PathRules.h"
#include "system/HeldFolder.h"

#include <string>
#include <vector>

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
    // An installation moves the product out of the folder that the entry
    // records.
    bool moving = false;
    // The folders that the check made on its way, each below the one before
    // through its handle, and how: a failed installation undoes them last.
    Plan made;
    MachineSteps making;
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
