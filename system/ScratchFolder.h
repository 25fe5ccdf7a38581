#pragma once

#include "system/HeldFolder.h"

#include <cstddef>
#include <string>

// A folder of this run's own under the user's temporary directory, for the
// temporary copies of the payloads. Its name is new for every run and cannot
// be guessed, and making it fails when anything stands at that name; only
// administrators and the system may enter it. Nothing outside it is written
// or deleted. It is made at the first copy, and goes with its copies when
// this object does.
class ScratchFolder {
  public:
    explicit ScratchFolder(std::wstring tempDir) : tempDir_(std::move(tempDir)) {}
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { folder_.Remove(); }

    // A new file of that name in the folder, holding the bytes and positioned
    // at its start, shared with nobody for as long as the handle lives, so that
    // no other program can put anything in its place while the caller reads it
    // back; it goes when the handle is closed. Raises "Cannot create file
    // "<path>". <system text>" or "Stream write error".
    UniqueHandle WriteCopy(const std::wstring& fileName, const void* data, std::size_t size);

  private:
    // Makes the folder; false with the system's error code when it cannot.
    bool Make(DWORD& error);

    std::wstring tempDir_;
    std::wstring path_;
    HeldFolder folder_;
};
