#include "install/Plan.h"

#include "payload/Catalogue.h"
#include "system/Product.h"
#include "system/RunNames.h"

#include <algorithm>

namespace {

using Product::LinkPlace;

// The product's shortcuts come after its files in the numbering of places.
constexpr int kFirstShortcut = static_cast<int>(Product::kFileCount);

class Planner {
  public:
    explicit Planner(const Situation& situation) : situation_(situation) {}

    Plan Build() {
        for (const std::wstring& folder : situation_.made)
            Add({Step::Made, Area::None, 0, folder});
        Status(L"正在创建目录，请稍候", false);
        Folders();
        Status(L"正在检查使用情况，请稍候", false);
        for (int i = 0; i < static_cast<int>(std::size(Product::kPrograms)); ++i)
            Add({Step::EndProgram, Area::None, i, Product::kPrograms[i]});
        // Settled once the running copies are ended, so that none of them
        // maps a file that is to take its name back.
        Settle();
        Add({Step::Journal});
        Files();
        Shortcuts();
        // Every new file is on the disk before the first takes its name.
        for (const Spot& spot : places_)
            Add({Step::Place, spot.area, 0, spot.path});
        Add({Step::Advance, Area::None, 5});
        Status(L"正在更新系统键值", false);
        for (int i = 0; i < static_cast<int>(Product::kValueCount); ++i)
            Add({Step::SetValue, Area::None, i, Product::kValues[i].name});
        Status(L"正在删除生成的临时文件", false);
        Add({Step::Finish});
        Add({Step::Advance, Area::None, 10});
        return std::move(plan_);
    }

  private:
    void Add(Action action) { plan_.push_back(std::move(action)); }
    void Status(std::wstring text, bool pump) { Add({Step::Status, Area::None, pump ? 1 : 0, std::move(text)}); }

    // Each missing folder of the tree, outer first, once.
    void Folders() {
        std::vector<std::wstring> made;
        for (const wchar_t* folder : Product::kFolders) {
            const std::wstring path = folder;
            for (std::size_t end = path.find(L'\\', 1);; end = path.find(L'\\', end + 1)) {
                const std::wstring part = path.substr(0, end);
                if (!situation_.Exists(Area::Tree, part) && std::find(made.begin(), made.end(), part) == made.end()) {
                    made.push_back(part);
                    Add({Step::MakeFolder, Area::Tree, 0, part});
                }
                if (end == std::wstring::npos)
                    break;
            }
        }
    }

    // The names that earlier runs left: a run that left its marker got past
    // its last change and is finished (the files it kept aside go); one
    // without it is undone (its new files go, the kept ones take their names
    // back, the registry's values are put back from its journal). In the
    // shortcuts' folders, which runs into other folders share, a kept file
    // goes where its new one stands and takes its name back where none does.
    void Settle() {
        std::vector<std::wstring> done;
        for (const Spot& spot : situation_.left) {
            const RunName name = ParseRunName(spot.path.substr(spot.path.rfind(L'\\') + 1));
            if (spot.area == Area::Tree && name.kind == RunNameKind::Done)
                done.push_back(name.tag);
        }
        bool undone = false;
        std::vector<Action> markers;
        for (const Spot& spot : situation_.left) {
            const std::size_t slash = spot.path.rfind(L'\\');
            const RunName name = ParseRunName(spot.path.substr(slash + 1));
            const bool finished = spot.area == Area::Tree
                                      ? std::find(done.begin(), done.end(), name.tag) != done.end()
                                      : situation_.Exists(spot.area, spot.path.substr(0, slash + 1) + name.original);
            switch (name.kind) {
                case RunNameKind::New:
                    Add({Step::Discard, spot.area, 0, spot.path});
                    undone = true;
                    break;
                case RunNameKind::Old:
                    Add({finished ? Step::Discard : Step::PutBack, spot.area, 0, spot.path});
                    undone = undone || !finished;
                    break;
                case RunNameKind::Journal:
                    Add({finished ? Step::Discard : Step::Restore, spot.area, 0, spot.path});
                    undone = undone || !finished;
                    break;
                case RunNameKind::Done:
                    // Last: the marker tells a later run what is left of its run.
                    markers.push_back({Step::Discard, spot.area, 0, spot.path});
                    break;
                case RunNameKind::None:
                    break;
            }
        }
        for (Action& marker : markers)
            Add(std::move(marker));
        if (!situation_.left.empty())
            Add({Step::Note, Area::None, 0,
                 undone ? L"上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。"
                        : L"上次安装已经完成：已删除它留下的旧文件。"});
    }

    // Held from the start, so that no other program takes a file that is to
    // be replaced without sharing meanwhile; each new file written beside its
    // place, through a temporary copy of its container.
    void Files() {
        std::vector<std::wstring> places;
        for (const Product::File& file : Product::kFiles)
            places.push_back(std::wstring(file.folder) + L"\\" + file.name);
        for (const std::wstring& place : places)
            if (situation_.Exists(Area::Tree, place))
                Add({Step::Hold, Area::Tree, 0, place});
        Add({Step::ProgressMax, Area::None, 52});
        for (int i = 0; i < kFirstShortcut; ++i) {
            const std::wstring payload = Product::kFiles[i].payload;
            Status(L"正在抽取：" + payload + L".zip", true);
            Add({Step::Copy, Area::None, i, payload});
            Status(L"正在解压缩：" + PayloadFileName(payload), true);
            // Before the file is written: one that fails still counts on the
            // bar, which the window shows from the next look at its events.
            Add({Step::Advance, Area::None, 2});
            Add({Step::Write, Area::Tree, i, places[i]});
            places_.push_back({Area::Tree, places[i]});
        }
        Add({Step::Advance, Area::None, 5});
    }

    void Shortcuts() {
        Status(L"正在创建快捷方式", false);
        if (situation_.group && !situation_.Exists(Area::Group, L""))
            Add({Step::MakeFolder, Area::Group, 0, L""});
        for (int i = 0; i < static_cast<int>(Product::kShortcutCount); ++i) {
            const Product::Shortcut& shortcut = Product::kShortcuts[i];
            const bool desktop = shortcut.place == LinkPlace::Desktop;
            if (!(desktop ? situation_.desktop : situation_.group))
                continue;
            const Area area = desktop ? Area::Desktop : Area::Group;
            const std::wstring place = std::wstring(L"\\") + shortcut.name;
            if (situation_.Exists(area, place))
                Add({Step::Hold, area, 0, place});
            Add({Step::Write, area, kFirstShortcut + i, place});
            places_.push_back({area, place});
        }
    }

    const Situation& situation_;
    Plan plan_;
    // The places whose new files are written, in the order written.
    std::vector<Spot> places_;
};

}  // namespace

bool Situation::Exists(Area area, const std::wstring& path) const {
    return std::any_of(existing.begin(), existing.end(),
                       [&](const Spot& spot) { return spot.area == area && spot.path == path; });
}

Plan PlanInstallation(const Situation& situation) {
    return Planner(situation).Build();
}

std::wstring Describe(const Action& action, const AreaPaths& folders) {
    const std::wstring where = folders[static_cast<int>(action.area)] + action.path;
    switch (action.step) {
        case Step::Status:
        case Step::Note:
        case Step::ProgressMax:
        case Step::Advance:
            return action.path;
        case Step::Made:
            return L"目录检查创建的文件夹：" + action.path;
        case Step::MakeFolder:
            return L"创建文件夹：" + where;
        case Step::EndProgram:
            return L"结束运行中的程序：" + action.path;
        case Step::Discard:
            return L"删除上次安装留下的：" + where;
        case Step::PutBack:
            return L"恢复上次安装保留的：" + where;
        case Step::Restore:
            return L"按日志恢复注册表：" + where;
        case Step::Journal:
            return L"记录注册表原值";
        case Step::Hold:
            return L"占用将被替换的文件：" + where;
        case Step::Copy:
            return L"复制安装包：" + action.path;
        case Step::Write:
            return L"写入新文件：" + where;
        case Step::Place:
            return L"替换：" + where;
        case Step::SetValue:
            return L"写入注册表值：HKLM\\" + std::wstring(Product::kValues[action.index].key) + L"\\" + action.path;
        case Step::Finish:
            return L"删除保留的旧文件";
    }
    return where;
}
