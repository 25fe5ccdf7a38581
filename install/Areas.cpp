#include "install/Areas.h"

#include "system/Product.h"
#include "system/RunNames.h"
#include "system/Shortcut.h"

#include <algorithm>
#include <iterator>
#include <vector>

Areas::Areas(std::wstring dir, HeldFolder root) {
    paths_[static_cast<int>(Area::Tree)] = std::move(dir);
    paths_[static_cast<int>(Area::Desktop)] = ShortcutFolderPath(Product::LinkPlace::Desktop);
    const std::wstring programs = ShortcutFolderPath(Product::LinkPlace::ProgramGroup);
    if (!programs.empty()) {
        DWORD error = 0;
        programs_ = HeldFolder::Open(programs, error);
        paths_[static_cast<int>(Area::Group)] = programs + L"\\" + Product::kName;
    }
    Keep(Area::Tree, L"", std::move(root), false);
}

const HeldFolder& Areas::Keep(Area area, const std::wstring& path, HeldFolder folder, bool made) {
    held_.push_back({area, path, std::move(folder), made});
    return held_.back().folder;
}

const HeldFolder& Areas::Above(Area area, const std::wstring& path, DWORD& error) {
    if (area == Area::Group && path.empty()) {
        if (!programs_)
            error = ERROR_PATH_NOT_FOUND;
        return programs_;
    }
    return path.empty() ? none_ : Folder(area, ParentOf(path), error);
}

const HeldFolder& Areas::Folder(Area area, const std::wstring& path, DWORD& error) {
    for (const Held& held : held_)
        if (held.area == area && held.path == path)
            return held.folder;
    HeldFolder folder;
    if (area == Area::Desktop && path.empty()) {
        // The desktop may lie elsewhere through a link: that is the system's
        // to choose; what is written there is checked name by name.
        const std::wstring& desktop = paths_[static_cast<int>(Area::Desktop)];
        error = ERROR_PATH_NOT_FOUND;
        if (!desktop.empty())
            folder = HeldFolder::Open(desktop, error);
    } else if (const HeldFolder& above = Above(area, path, error)) {
        folder = above.ExistingFolder(area == Area::Group && path.empty() ? Product::kName : NameOf(path), error);
    }
    return folder ? Keep(area, path, std::move(folder), false) : none_;
}

const HeldFolder& Areas::Make(Area area, const std::wstring& path, DWORD& error) {
    const HeldFolder& above = Above(area, path, error);
    bool made = false;
    HeldFolder folder =
        above ? above.RealFolder(path.empty() ? Product::kName : NameOf(path), error, &made) : HeldFolder();
    return folder ? Keep(area, path, std::move(folder), made) : none_;
}

void Areas::RemoveMade(Area area, const std::wstring& path) {
    bool made = false;
    for (auto held = held_.begin(); held != held_.end();) {
        const std::wstring& below = held->path;
        const bool inside = held->area == area && below.compare(0, path.size(), path) == 0 &&
                            (below.size() == path.size() || below[path.size()] == L'\\');
        made = made || (inside && held->made && below.size() == path.size());
        held = inside ? held_.erase(held) : std::next(held);
    }
    DWORD error = 0;
    if (made)
        if (const HeldFolder& above = Above(area, path, error))
            DeleteHeld(above.FolderToDelete(path.empty() ? Product::kName : NameOf(path)).get());
}

void Areas::Release() {
    held_.clear();
    programs_ = HeldFolder();
}

Situation Areas::Look() {
    Situation situation;
    // The folders of the tree, each once, outer first.
    std::vector<std::wstring> tree{L""};
    for (const wchar_t* folder : Product::kFolders) {
        const std::wstring path = folder;
        for (std::size_t end = 0; end != std::wstring::npos;) {
            end = path.find(L'\\', end + 1);
            if (std::find(tree.begin(), tree.end(), path.substr(0, end)) == tree.end())
                tree.push_back(path.substr(0, end));
        }
    }
    // Each folder of the tree, its own and all it holds: the product's files,
    // and the names that earlier runs left; then the shortcuts' folders. A
    // folder of the tree stands where it is one, not where a file has its
    // name: that is to be made, and fails.
    const auto list = [&](Area area, const std::wstring& path) {
        DWORD error = 0;
        const HeldFolder& folder = Folder(area, path, error);
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
    for (const std::wstring& path : tree)
        list(Area::Tree, path);
    list(Area::Desktop, L"");
    list(Area::Group, L"");
    return situation;
}
