#include "install/FileRoutines.h"

#include "system/FolderSecurity.h"

#include <algorithm>

HeldFolder MakeFoldersBelow(const HeldFolder& folder,
                            const std::wstring& names,
                            std::vector<MadeFolder>& made,
                            DWORD& error) {
    // Each folder made gets the product's list in the call that makes it: one
    // set afterwards would leave a moment in which another account could open
    // the folder and keep the handle, and what lies above (the root of a
    // drive lets every account change what is made below it) is not handed on.
    const UniqueLocalMemory security = ProductFolderSecurity();
    if (!security) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return HeldFolder();
    }
    HeldFolder current = folder.Duplicate();
    for (std::size_t start = 0; current && start < names.size();) {
        const std::size_t end = std::min(names.find(L'\\', start), names.size());
        const std::wstring name = names.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        HeldFolder next = current.CreateFolder(name, security.get(), error);
        if (next)
            made.emplace_back(std::move(current), name);
        current = std::move(next);
    }
    return current;
}
