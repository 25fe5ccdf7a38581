#pragma once

#include "system/HeldFolder.h"

#include <cstddef>
#include <string>

// The install folder as the installation writes into it. The folder itself is
// opened once by its text (it may be a link: people move program folders that
// way) and held until the installation ends; everything below it is reached
// one name at a time through it. Whatever a program of the same user puts
// inside, nothing outside the folder changes: a link standing at a sub-folder
// or file name is removed as a name, and a file with more than one name loses
// only this one before the new file is made.
class InstallTree {
  public:
    explicit InstallTree(std::wstring installDir);

    // Makes each missing folder of the suffix ("\Temp\Skin"). A failure is not
    // reported here; it shows when a file is written into the folder.
    void MakeFolders(const std::wstring& suffix);

    // Creates or replaces the file at the install directory followed by the
    // suffix ("\Data\ZarvConfig.ini") with the bytes. Raises "Cannot create
    // file "<full path>". <system text>" or "Stream write error".
    void WriteFile(const std::wstring& suffix, const void* data, std::size_t size);

  private:
    // The folder named by the suffix up to `end`: the install folder itself or
    // one below it, which is then kept in `below`. Null, with the system's
    // error code, when it cannot be had.
    const HeldFolder* Folder(const std::wstring& suffix, std::size_t end, HeldFolder& below, DWORD& error) const;

    std::wstring dir_;
    HeldFolder root_;
    DWORD rootError_ = 0;
};
