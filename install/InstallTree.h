#pragma once

#include "system/FileTransaction.h"
#include "system/HeldFolder.h"

#include <cstddef>
#include <string>
#include <vector>

// The install folder as the installation writes into it. The folder itself
// was opened once, by the directory check, and is held until the
// installation ends; everything below it is reached one name at a time
// through it. Whatever stands inside, nothing outside the folder changes: a
// link standing at a sub-folder or file name is removed or replaced as a
// name, and a file with more than one name loses only this one.
class InstallTree {
  public:
    InstallTree(std::wstring installDir, HeldFolder root) : dir_(std::move(installDir)), root_(std::move(root)) {}

    // Makes each missing folder of the suffix ("\Temp\Skin"), noting in the
    // transaction what it made. A failure is not reported here; it shows when
    // a file is written into the folder.
    void MakeFolders(const std::wstring& suffix, FileTransaction& files) const;

    // The transaction's place for the file at the install directory followed
    // by the suffix ("\Data\ZarvConfig.ini"); see FileTransaction::Hold.
    std::size_t Hold(const std::wstring& suffix, FileTransaction& files) const;

    const HeldFolder& Root() const { return root_; }
    // The install folder and those of its folders that receive files and
    // exist already.
    std::vector<HeldFolder> FileFolders() const;

  private:
    // The folder named by the suffix up to `end`, opened (or, with `files`,
    // made) one name at a time below the install folder; none, with the
    // system's error code, when it cannot be had.
    HeldFolder Folder(const std::wstring& suffix, std::size_t end, FileTransaction* files, DWORD& error) const;

    std::wstring dir_;
    HeldFolder root_;
};
