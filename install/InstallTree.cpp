#include "install/InstallTree.h"

#include <algorithm>

HeldFolder InstallTree::Folder(const std::wstring& suffix,
                               std::size_t end,
                               FileTransaction* files,
                               DWORD& error) const {
    HeldFolder folder = root_.Duplicate();
    // The suffix begins with a backslash.
    for (std::size_t start = 1; folder && start < end;) {
        const std::size_t stop = std::min(suffix.find(L'\\', start), end);
        const std::wstring name = suffix.substr(start, stop - start);
        bool created = false;
        HeldFolder next = files ? folder.RealFolder(name, error, &created) : folder.ExistingFolder(name, error);
        if (created)
            files->Made(folder, name);
        folder = std::move(next);
        start = stop + 1;
    }
    return folder;
}

void InstallTree::MakeFolders(const std::wstring& suffix, FileTransaction& files) const {
    DWORD error = 0;
    Folder(suffix, suffix.size(), &files, error);
}

std::size_t InstallTree::Hold(const std::wstring& suffix, FileTransaction& files) const {
    DWORD error = 0;
    HeldFolder folder = Folder(suffix, suffix.rfind(L'\\'), nullptr, error);
    return files.Hold(std::move(folder), dir_ + suffix, error);
}

std::vector<HeldFolder> InstallTree::FileFolders() const {
    std::vector<HeldFolder> folders;
    for (const wchar_t* suffix : {L"", L"\\Data", L"\\Skin", L"\\Lang"}) {
        DWORD error = 0;
        const std::wstring text = suffix;
        folders.push_back(Folder(text, text.size(), nullptr, error));
    }
    return folders;
}
