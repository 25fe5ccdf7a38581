#include "install/Areas.h"

#include "install/PathRules.h"
#include "system/Error.h"
#include "system/FolderSecurity.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/RunNames.h"
#include "system/Shortcut.h"

#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <vector>

std::wstring ProgramFilesPath() {
    wchar_t programFiles[MAX_PATH + 1] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles))
               ? programFiles
               : L"";
}

Areas::Areas(std::wstring dir, HeldFolder root, HeldFolder above) : above_(std::move(above)) {
    paths_[static_cast<int>(Area::Tree)] = std::move(dir);
    paths_[static_cast<int>(Area::Desktop)] = ShortcutFolderPath(Product::LinkPlace::Desktop);
    const std::wstring programs = ShortcutFolderPath(Product::LinkPlace::StartMenu);
    programs_ = HeldFolder::Open(programs);
    if (!programs.empty())
        paths_[static_cast<int>(Area::StartMenu)] = programs + L"\\" + Product::kName;
    const std::wstring programFiles = ProgramFilesPath();
    if (!programFiles.empty()) {
        programFiles_ = HeldFolder::Open(programFiles);
        paths_[static_cast<int>(Area::Kept)] = programFiles + L"\\" ZARVO_KEPT_FOLDER;
    }
    At(Area::Tree, L"").folder = std::move(root);
}

std::wstring Areas::NameAt(Area area, const std::wstring& path) const {
    return !path.empty()             ? NameOf(path)
           : area == Area::StartMenu ? std::wstring(Product::kName)
           : area == Area::Kept      ? std::wstring(ZARVO_KEPT_FOLDER)
                                     : NameOf(paths_[static_cast<int>(Area::Tree)]);
}

Areas::Held& Areas::At(Area area, const std::wstring& path) {
    for (Held& held : held_)
        if (held.area == area && held.path == path)
            return held;
    return held_.emplace_back(Held{area, path, HeldFolder(), false});
}

const HeldFolder& Areas::Above(Area area, const std::wstring& path) {
    if (path.empty() && (area == Area::StartMenu || area == Area::Kept))
        return area == Area::Kept ? programFiles_ : programs_;
    return path.empty() ? above_ : Folder(area, ParentOf(path));
}

const HeldFolder& Areas::Folder(Area area, const std::wstring& path) {
    Held& held = At(area, path);
    if (held.folder)
        return held.folder;
    if (area == Area::Desktop && path.empty())
        // The desktop may lie elsewhere through a link: that is the system's
        // to choose; what is written there is checked name by name.
        held.folder = HeldFolder::Open(paths_[static_cast<int>(Area::Desktop)]);
    else
        held.folder = Above(area, path).ExistingFolder(area == Area::Tree ? NameOf(path) : NameAt(area, path));
    return held.folder;
}

void Areas::Make(Area area, const std::wstring& path) {
    Held& held = At(area, path);
    const HeldFolder& above = Above(area, path);
    if (area == Area::Kept && path.empty()) {
        // The product's own list, whatever Program Files hands on, in the
        // call that makes it, as the package gives it too; a name that
        // appeared meanwhile, a link included, fails it rather than being used.
        const UniqueLocalMemory security = ProductFolderSecurity();
        held.folder = above.CreateFolder(NameAt(area, path), security.get());
        held.made = static_cast<bool>(held.folder);
    } else {
        held.folder = above.RealFolder(NameAt(area, path), &held.made);
    }
    // A file in the folder's place is no folder, whatever the system calls it.
    if (const DWORD error = held.folder.Error())
        Raise(IoErrorMessage(error == ERROR_DIRECTORY ? ERROR_ALREADY_EXISTS : error), error);
}

bool Areas::Remove(Area area, const std::wstring& path, bool onlyMade) {
    if (!onlyMade) {
        const HeldFolder& folder = Folder(area, path);
        if (!folder)
            return true;
        if (!folder.Names().empty())
            return false;
    }
    bool made = false;
    for (auto held = held_.begin(); held != held_.end();) {
        const std::wstring& below = held->path;
        const bool inside = held->area == area && below.compare(0, path.size(), path) == 0 &&
                            (below.size() == path.size() || below[path.size()] == L'\\');
        made = made || (inside && held->made && below.size() == path.size());
        held = inside ? held_.erase(held) : std::next(held);
    }
    if (onlyMade && !made)
        return true;
    return DeleteHeld(Above(area, path).FolderToDelete(NameAt(area, path)).get());
}

bool Areas::RemoveAbove(const std::wstring& path) {
    // The folder that held the install folder may be the one to go.
    above_ = HeldFolder();
    const HeldFolder parent = HeldFolder::OpenWithoutLinks(ParentPart(path));
    const std::wstring name = NameOf(path);
    {
        const HeldFolder folder = parent.ExistingFolder(name);
        if (!folder)
            return true;
        if (!folder.Names().empty())
            return false;
    }
    return DeleteHeld(parent.FolderToDelete(name).get());
}

Situation Areas::Look() {
    Situation situation;
    const std::vector<std::wstring> tree = TreeFolders();
    // Each folder of the tree, its own and all it holds: the product's files,
    // and the names that earlier runs left; then the shortcuts' folders. A
    // folder of the tree stands where it is one, not where a file has its
    // name: that is to be made, and fails.
    const auto list = [&](Area area, const std::wstring& path) {
        const HeldFolder& folder = Folder(area, path);
        if (!folder)
            return;
        situation.existing.push_back({area, path});
        for (const std::wstring& name : folder.Names()) {
            std::wstring at = path + L"\\" + name;
            if (ParseRunName(name).kind != RunNameKind::None)
                situation.left.push_back({area, at});
            if (area != Area::Tree || std::find(tree.begin(), tree.end(), at) == tree.end())
                situation.existing.push_back({area, std::move(at)});
        }
    };
    list(Area::Tree, L"");
    for (const std::wstring& path : tree)
        list(Area::Tree, path);
    list(Area::Desktop, L"");
    list(Area::StartMenu, L"");
    list(Area::Kept, L"");
    return situation;
}
