#pragma once

#include "install/Journal.h"
#include "system/Handles.h"
#include "system/HeldFolder.h"

#include <string>
#include <vector>

// The product's registry values (system/Product.h) in the installation: read
// as they are and kept on the disk in the run's journal before the first of
// them changes, written, and put back as they were when the run is undone.
class RegistryValues {
  public:
    // The values' data for the product installed in `dir`, taking
    // `installedKib`, with the shortcuts that `choice` names.
    RegistryValues(const std::wstring& dir, unsigned long installedKib, const std::wstring& choice);

    // Reads every value as it is and writes the journal (`name`) into the
    // install folder, flushed to the disk. Raises when a value cannot be read:
    // a key that cannot be opened is not one that is missing.
    void Journal(const HeldFolder& installFolder, const std::wstring& name);
    // The journal goes: the run is done, or undone.
    void DropJournal();

    // Writes value `index` of the product's table; raises as the registry
    // layer does, having put the value back.
    void Set(int index);
    // Puts value `index` back as it was; where its key was missing, the key
    // goes with its first value.
    void Unset(int index);

    // On the disk, before the run counts as done.
    void Flush();

  private:
    std::vector<JournalValue> values_;
    UniqueHandle journal_;
};

// Settles what a run ended abruptly left in the registry: each value of the
// journal `name` in `folder` that still holds what that run wrote gets back
// what it held, a key that the run made goes where all its values were that
// run's, and then the journal goes. Raises when it cannot.
void RestoreJournal(const HeldFolder& folder, const std::wstring& name);
