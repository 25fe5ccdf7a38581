#include "install/Areas.h"

#include "system/Product.h"
#include "system/RunNames.h"
#include "system/Shortcut.h"

#include <iterator>
#include <vector>

std::wstring ParentOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\'));
}

std::wstring NameOf(const std::wstring& path) {
    return path.substr(path.rfind(L'\\') + 1);
}

Areas::Areas(std::wstring dir, HeldFolder root) {
    paths_[static_cast<int>(Area::Tree)] = std::move(dir);
    paths_[static_cast<int>(Area::Desktop)] = ShortcutFolderPath(Product::LinkPlace::Desktop);
    const std::wstring programs = ShortcutFolderPath(Product::LinkPlace::ProgramGroup);
    paths_[static_cast<int>(Area::Group)] = programs.empty() ? L"" : programs + L"\\" + Product::kName;
    held_[{Area::Tree, L""}] = std::move(root);
}

const HeldFolder& Areas::Above(Area area, const std::wstring& path, DWORD& error) {
    if (area == Area::Group && path.empty()) {
        const std::wstring programs = ShortcutFolderPath(Product::LinkPlace::ProgramGroup);
        if (!programs_ && !programs.empty())
            programs_ = HeldFolder::Open(programs, error);
        return programs_;
    }
    return path.empty() ? none_ : Folder(area, ParentOf(path), error);
}

const HeldFolder& Areas::Folder(Area area, const std::wstring& path, DWORD& error) {
    const auto found = held_.find({area, path});
    if (found != held_.end() && found->second)
        return found->second;
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
    if (!folder)
        return none_;
    return held_[{area, path}] = std::move(folder);
}

const HeldFolder& Areas::Make(Area area, const std::wstring& path, DWORD& error, bool& made) {
    made = false;
    const HeldFolder& above = Above(area, path, error);
    if (!above)
        return none_;
    HeldFolder folder = above.RealFolder(path.empty() ? Product::kName : NameOf(path), error, &made);
    if (!folder)
        return none_;
    return held_[{area, path}] = std::move(folder);
}

void Areas::Remove(Area area, const std::wstring& path) {
    for (auto held = held_.begin(); held != held_.end();) {
        const std::wstring& below = held->first.second;
        const bool inside = below.compare(0, path.size(), path) == 0 &&
                            (below.size() == path.size() || below[path.size()] == L'\\');
        held = held->first.first == area && inside ? held_.erase(held) : std::next(held);
    }
    DWORD error = 0;
    if (const HeldFolder& above = Above(area, path, error))
        DeleteHeld(above.FolderToDelete(path.empty() ? Product::kName : NameOf(path)).get());
}

void Areas::Release() {
    held_.clear();
    programs_ = HeldFolder();
}

Situation Areas::Look() {
    Situation situation;
    DWORD error = 0;
    const auto exists = [&](Area area, const std::wstring& path) { situation.existing.push_back({area, path}); };
    for (const wchar_t* folder : Product::kFolders) {
        const std::wstring path = folder;
        for (std::size_t end = path.find(L'\\', 1);; end = path.find(L'\\', end + 1)) {
            const std::wstring part = path.substr(0, end);
            if (Folder(Area::Tree, part, error) && !situation.Exists(Area::Tree, part))
                exists(Area::Tree, part);
            if (end == std::wstring::npos)
                break;
        }
    }
    // Whatever stands at a file's name counts, a file held by another
    // program too: the installation holds it first, and says what is wrong.
    const auto look = [&](Area area, const std::wstring& path) {
        if (const HeldFolder& folder = Folder(area, ParentOf(path), error)) {
            const UniqueHandle standing = folder.OpenExisting(NameOf(path), error);
            if (standing || error != ERROR_FILE_NOT_FOUND)
                exists(area, path);
        }
    };
    std::vector<std::wstring> fileFolders;
    for (const Product::File& file : Product::kFiles) {
        look(Area::Tree, std::wstring(file.folder) + L"\\" + file.name);
        bool listed = false;
        for (const std::wstring& folder : fileFolders)
            listed = listed || folder == file.folder;
        if (!listed)
            fileFolders.push_back(file.folder);
    }
    if (Folder(Area::Group, L"", error))
        exists(Area::Group, L"");
    for (const Product::Shortcut& shortcut : Product::kShortcuts)
        look(shortcut.place == Product::LinkPlace::Desktop ? Area::Desktop : Area::Group,
             std::wstring(L"\\") + shortcut.name);

    const auto left = [&](Area area, const std::wstring& path) {
        if (const HeldFolder& folder = Folder(area, path, error))
            for (const std::wstring& name : folder.Names())
                if (ParseRunName(name).kind != RunNameKind::None)
                    situation.left.push_back({area, path + L"\\" + name});
    };
    for (const std::wstring& folder : fileFolders)
        left(Area::Tree, folder);
    left(Area::Desktop, L"");
    left(Area::Group, L"");
    return situation;
}
