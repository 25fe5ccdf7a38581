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
    explicit Planner(const Situation& situation) : situation_(situation), standing_(situation.existing) {}

    Plan Build() {
        for (const std::wstring& folder : situation_.made)
            Add(Step::Made, Area::None, 0, folder.c_str());
        Add(Step::Status, Area::None, 0, L"正在创建目录，请稍候");
        Folders();
        Add(Step::Status, Area::None, 0, L"正在检查使用情况，请稍候");
        for (int i = 0; i < static_cast<int>(std::size(Product::kPrograms)); ++i)
            Add(Step::EndProgram, Area::None, i, Product::kPrograms[i]);
        // Settled once the running copies are ended, so that none of them
        // maps a file that is to take its name back.
        Settle();
        Add(Step::Journal);
        Files();
        Shortcuts();
        // Every new file is on the disk before the first takes its name.
        for (std::size_t i = 0, planned = plan_.size(); i < planned; ++i)
            if (plan_[i].step == Step::Write)
                Add(Step::Place, plan_[i].area, 0, plan_[i].path.c_str());
        Add(Step::Advance, Area::None, 5);
        Add(Step::Status, Area::None, 0, L"正在更新系统键值");
        for (int i = 0; i < static_cast<int>(Product::kValueCount); ++i)
            Add(Step::SetValue, Area::None, i, Product::kValues[i].key, L"\\", Product::kValues[i].name);
        Add(Step::Status, Area::None, 0, L"正在删除生成的临时文件");
        Add(Step::Finish);
        Add(Step::Advance, Area::None, 10);
        return std::move(plan_);
    }

  private:
    // One action, its path or text joined from the parts: every call site
    // building strings of its own would weigh more than the plan is worth.
    void Add(Step step,
             Area area = Area::None,
             int index = 0,
             const wchar_t* first = L"",
             const wchar_t* second = L"",
             const wchar_t* third = L"") {
        plan_.emplace_back(step, area, index, std::wstring(first).append(second).append(third));
    }

    // Whether something stands at the path by the time the action comes:
    // what stood there, what settling gives its name back, a folder planned.
    bool Stands(Area area, std::wstring_view path) const {
        return std::any_of(standing_.begin(), standing_.end(),
                           [&](const Spot& spot) { return spot.area == area && spot.path == path; });
    }

    // Each missing folder of the tree, outer first, once.
    void Folders() {
        for (const wchar_t* folder : Product::kFolders) {
            const std::wstring_view path = folder;
            for (std::size_t end = 0; end != std::wstring_view::npos;) {
                end = path.find(L'\\', end + 1);
                const std::wstring part(path.substr(0, end));
                if (Stands(Area::Tree, part))
                    continue;
                Add(Step::MakeFolder, Area::Tree, 0, part.c_str());
                standing_.push_back({Area::Tree, part});
            }
        }
    }

    // The names that earlier runs left: a run that left its marker got past
    // its last change and is finished (the files it kept aside go); one
    // without it is undone (its new files go, the kept ones take their names
    // back, the registry's values are put back from its journal), shortcuts
    // included. A run of which only shortcuts are left went into another
    // folder, whose marker is not to be seen from here: a kept shortcut goes
    // where its new one stands and takes its name back where none does.
    // Journals, then markers, go last: while anything of a run is left, so
    // is what decides it.
    void Settle() {
        std::vector<std::wstring> done, here;
        for (const Spot& spot : situation_.left) {
            const RunName name = ParseRunName(NameOf(spot.path));
            if (spot.area == Area::Tree && Settles(spot)) {
                here.push_back(name.tag);
                if (name.kind == RunNameKind::Done)
                    done.push_back(name.tag);
            }
        }
        bool undone = false, settled = false;
        for (RunNameKind last : {RunNameKind::Old, RunNameKind::Journal, RunNameKind::Done}) {
            for (const Spot& spot : situation_.left) {
                const std::size_t slash = spot.path.rfind(L'\\');
                const RunName name = ParseRunName(spot.path.substr(slash + 1));
                if (!Settles(spot) || std::max(name.kind, RunNameKind::Old) != last)
                    continue;
                if (spot.refused) {
                    Add(Step::SetAside, spot.area, 0, spot.path.c_str());
                    continue;
                }
                const std::wstring place = spot.path.substr(0, slash + 1) + name.original;
                const bool finished = Has(done, name.tag) || (!Has(here, name.tag) && Stands(spot.area, place));
                Step step = Step::Discard;
                if (!finished && name.kind == RunNameKind::Old)
                    step = Step::PutBack;
                else if (!finished && name.kind == RunNameKind::Journal)
                    step = Step::Restore;
                undone = undone || step != Step::Discard || name.kind == RunNameKind::New;
                settled = true;
                Add(step, spot.area, 0, spot.path.c_str());
                // What takes its name back stands there when the files are held.
                if (step == Step::PutBack)
                    standing_.push_back({spot.area, place});
            }
        }
        if (settled)
            Add(Step::Note, Area::None, 0,
                undone ? L"上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。"
                       : L"上次安装已经完成：已删除它留下的旧文件。");
    }

    static bool Has(const std::vector<std::wstring>& tags, const std::wstring& tag) {
        return std::find(tags.begin(), tags.end(), tag) != tags.end();
    }

    // Held from the start, so that no other program takes a file that is to
    // be replaced without sharing meanwhile; each new file written beside its
    // place, through a temporary copy of its container.
    void Files() {
        std::wstring place;
        for (const Product::File& file : Product::kFiles)
            if (Stands(Area::Tree, place.assign(file.folder).append(L"\\").append(file.name)))
                Add(Step::Hold, Area::Tree, 0, place.c_str());
        Add(Step::ProgressMax, Area::None, 52);
        for (int i = 0; i < kFirstShortcut; ++i) {
            const Product::File& file = Product::kFiles[i];
            Add(Step::Status, Area::None, 1, L"正在抽取：", file.payload, L".zip");
            Add(Step::Copy, Area::None, i, file.payload);
            Add(Step::Status, Area::None, 1, L"正在解压缩：", PayloadFileName(file.payload).c_str());
            // Before the file is written: one that fails still counts on the
            // bar, which the window shows from the next look at its events.
            Add(Step::Advance, Area::None, 2);
            Add(Step::Write, Area::Tree, i, file.folder, L"\\", file.name);
        }
        Add(Step::Advance, Area::None, 5);
    }

    void Shortcuts() {
        Add(Step::Status, Area::None, 0, L"正在创建快捷方式");
        if (situation_.group && !Stands(Area::Group, L""))
            Add(Step::MakeFolder, Area::Group);
        for (int i = 0; i < static_cast<int>(Product::kShortcutCount); ++i) {
            const Product::Shortcut& shortcut = Product::kShortcuts[i];
            const bool desktop = shortcut.place == LinkPlace::Desktop;
            if (!(desktop ? situation_.desktop : situation_.group))
                continue;
            const Area area = desktop ? Area::Desktop : Area::Group;
            if (Stands(area, std::wstring(L"\\").append(shortcut.name)))
                Add(Step::Hold, area, 0, L"\\", shortcut.name);
            Add(Step::Write, area, kFirstShortcut + i, L"\\", shortcut.name);
        }
    }

    const Situation& situation_;
    std::vector<Spot> standing_;
    Plan plan_;
};

}  // namespace

std::wstring ParentOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\'));
}

std::wstring NameOf(const std::wstring& path) {
    return path.substr(path.rfind(L'\\') + 1);
}

bool Settles(const Spot& spot) {
    const RunNameKind kind = ParseRunName(NameOf(spot.path)).kind;
    return kind == RunNameKind::New || kind == RunNameKind::Old ||
           (kind != RunNameKind::None && spot.area == Area::Tree && spot.path.rfind(L'\\') == 0);
}

Plan PlanInstallation(const Situation& situation) {
    return Planner(situation).Build();
}

std::wstring Describe(const Action& action, const AreaPaths& folders) {
    // In the order of Step; the action's place or text follows.
    static const wchar_t* const kVerbs[] = {
        L"",
        L"",
        L"",
        L"",
        L"目录检查创建的文件夹：",
        L"创建文件夹：",
        L"结束运行中的程序：",
        L"删除上次安装留下的：",
        L"恢复上次安装保留的：",
        L"按日志恢复注册表：",
        L"移开未使用的注册表日志：",
        L"记录注册表原值",
        L"占用将被替换的文件：",
        L"复制安装包：",
        L"写入新文件：",
        L"替换：",
        L"写入注册表值：HKLM\\",
        L"删除保留的旧文件",
        L"写入注册表值：",
    };
    static_assert(std::size(kVerbs) == static_cast<std::size_t>(Step::StartPage) + 1, "a verb for every step");
    return kVerbs[static_cast<int>(action.step)] + folders[static_cast<int>(action.area)] + action.path;
}
