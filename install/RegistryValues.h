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
    // `installedKib`, with the shortcuts that `choice` names (shown where
    // `iconsVisible`), the folder made above it, `madeAbove` (none where
    // empty), and the installer kept below `programFiles`, `moving` it there
    // out of the folder that the entry records.
    RegistryValues(const std::wstring& dir,
                   unsigned long installedKib,
                   const std::wstring& choice,
                   const std::wstring& madeAbove,
                   const std::wstring& programFiles,
                   bool iconsVisible,
                   bool moving);

    // Reads every value as it is and writes the journal (`name`) into the
    // install folder, flushed to the disk; with none (a removal whose folder
    // is gone), only reads them. `deleting`: the run deletes the values, which
    // the journal records as no type and no data, and gives each of the
    // system's defaults that the product holds what it held before. Raises when a value cannot
    // be read: a key that cannot be opened is not one that is missing.
    // Only a run that touches the system's defaults (`defaults`) reads and
    // keeps them.
    void Journal(const HeldFolder* installFolder, const std::wstring& name, bool deleting, bool defaults);
    // The journal goes: the run is done, or undone.
    void DropJournal();

    // Writes value `index` of the product's table; raises as the registry
    // layer does, and may have made its key (Unset takes it away).
    void Write(int index);
    // Deletes value `index` (one missing is no error); raises as the registry
    // layer does.
    void Delete(int index);
    // Puts value `index` back as it was; where its key was missing, the key
    // goes with its first value.
    void Unset(int index);

    // On the disk, before the run counts as done.
    void Flush();

  private:
    // The product's values, the system's defaults' last: once journaled, a
    // run that does not touch those has their rows no more.
    std::vector<JournalValue> values_;
    bool moving_;
    UniqueHandle journal_;
};

// Reads a journal that an earlier run left in the install folder, held as
// `file`: why it is not to be used (another account could have written it,
// or it names more than the product's values), empty where it may be.
std::wstring ReadLeftJournal(const HeldFolder& installFolder,
                             const std::wstring& name,
                             UniqueHandle& file,
                             std::vector<JournalValue>& values);

// Settles what a run ended abruptly left in the registry: each value of its
// journal that still holds what that run wrote gets back what it held, and a
// key that the run made goes where nothing of another's stands in it (a value
// or a key). Raises when a value cannot be put back.
void RestoreJournal(const std::vector<JournalValue>& values);
