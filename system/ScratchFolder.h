#pragma once

#include "system/HeldFolder.h"

#include <cstddef>
#include <string>

// A folder of this run's own under the user's temporary directory, for the
// temporary copies of the payloads. Its name is new for every run and cannot
// be guessed, and making it fails when anything stands at that name; where
// the installer runs elevated beside the user's unelevated programs, only
// administrators and the system may enter it. Nothing outside it is written
// or deleted. It is made at the first copy.
class ScratchFolder {
  public:
    explicit ScratchFolder(std::wstring tempDir) : tempDir_(std::move(tempDir)) {}

    // A new file of that name in the folder, holding the bytes and positioned
    // at its start, shared with nobody for as long as the handle lives: the
    // caller reads it back and deletes it through that handle (DeleteHeld), so
    // that no other program can put anything in its place. Raises "Cannot
    // create file "<path>". <system text>" or "Stream write error"; a copy
    // that fails part-written stays in the folder.
    UniqueHandle WriteCopy(const std::wstring& fileName, const void* data, std::size_t size);

    // Deletes the folder once its copies are gone; nothing when it was never
    // made. Without this call (a copy failed) it stays, with that copy.
    void Remove() { folder_.Remove(); }

  private:
    // Makes the folder; false with the system's error code when it cannot.
    bool Make(DWORD& error);

    std::wstring tempDir_;
    std::wstring path_;
    HeldFolder folder_;
};
