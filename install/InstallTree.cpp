#include "install/InstallTree.h"

#include "install/PathRules.h"
#include "system/Error.h"
#include "system/Files.h"

#include <algorithm>

InstallTree::InstallTree(std::wstring installDir) : dir_(std::move(installDir)) {
    root_ = HeldFolder::Open(WithoutTrailingBackslash(dir_), rootError_);
}

const HeldFolder* InstallTree::Folder(const std::wstring& suffix,
                                      std::size_t end,
                                      HeldFolder& below,
                                      DWORD& error) const {
    if (!root_) {
        error = rootError_;
        return nullptr;
    }
    const HeldFolder* folder = &root_;
    // The suffix begins with a backslash.
    for (std::size_t start = 1; start < end;) {
        const std::size_t stop = std::min(suffix.find(L'\\', start), end);
        HeldFolder next = folder->RealFolder(suffix.substr(start, stop - start), error);
        if (!next)
            return nullptr;
        below = std::move(next);
        folder = &below;
        start = stop + 1;
    }
    return folder;
}

void InstallTree::MakeFolders(const std::wstring& suffix) {
    HeldFolder below;
    DWORD error = 0;
    Folder(suffix, suffix.size(), below, error);
}

void InstallTree::WriteFile(const std::wstring& suffix, const void* data, std::size_t size) {
    const std::size_t last = suffix.rfind(L'\\');
    HeldFolder below;
    DWORD error = 0;
    const HeldFolder* folder = Folder(suffix, last, below, error);
    UniqueHandle file;
    if (folder)
        file = folder->ReplaceFile(suffix.substr(last + 1), error);
    if (!file)
        throw Error(FileErrorMessage(L"Cannot create file", dir_ + suffix, error));
    WriteAll(file.get(), data, size);
}
