#pragma once

#include "system/HeldFolder.h"

#include <cstddef>
#include <string>

// The run's own folder for the payloads' temporary copies: a name nobody can
// guess, made new, entered by administrators only; nothing outside it is
// touched, and it goes with this object.
class ScratchFolder {
  public:
    explicit ScratchFolder(std::wstring tempDir) : tempDir_(std::move(tempDir)) {}
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { folder_.Remove(); }

    // A new file holding the bytes, at its start, shared with nobody while the
    // caller reads it back, and gone when the handle closes.
    UniqueHandle WriteCopy(const std::wstring& fileName, const void* data, std::size_t size);

  private:
    // Makes the folder; gives 0, or the system's code why it cannot.
    DWORD Make();

    std::wstring tempDir_;
    std::wstring path_;
    HeldFolder folder_;
};
