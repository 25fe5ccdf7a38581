#include "install/Plan.h"

#include "install/PathRules.h"
#include "install/Texts.h"
#include "payload/Catalogue.h"
#include "system/Product.h"
#include "system/RunNames.h"

#include <algorithm>

namespace {

using Product::LinkPlace;

class Planner {
  public:
    explicit Planner(const Situation& situation) : situation_(situation) {}

    // Each of the names below the folder, outer first.
    Plan FoldersBelow(const std::wstring& above, const std::wstring& names) {
        // A drive's root ends in its backslash already.
        std::wstring path = WithoutTrailingBackslash(above);
        for (std::size_t start = 1, end = 0; end < names.size(); start = end + 1) {
            end = std::min(names.find(L'\\', start), names.size());
            if (end > start)
                Add(Step::Made, Area::None, path.append(names, start - 1, end - start + 1).c_str());
        }
        return std::move(plan_);
    }

    // The installation, or with `removal` its counterpart.
    Plan Build(bool removal) {
        // A removal whose folder was deleted by hand has the shortcuts and
        // values left to remove.
        const bool tree = !removal || Stands(Area::Tree, L"");
        if (!removal) {
            Add(Step::Status, Area::None, kMakingFoldersStatus);
            Folders();
        } else if (!tree) {
            Add(Step::Note, Area::None, kFolderGoneNote);
        }
        Add(Step::Status, Area::None, kCheckingUseStatus);
        if (tree)
            Add(Step::ClosePrograms, Area::Tree);
        // Settled once the running copies are gone, so that none of them
        // maps a file that is to take its name back.
        Settle();
        Add(Step::Journal).deleting = removal;
        HoldFiles();
        if (removal) {
            Remove();
        } else {
            Files();
            Shortcuts();
            KeptInstaller(false);
            // A copy that started since the first look, one that started
            // itself again as it closed or that its user started, is closed
            // too before any file takes its name.
            Add(Step::ClosePrograms, Area::Tree);
            PlaceWritten();
            Progress(Step::Advance, 5);
        }
        Add(Step::Status, Area::None, kUpdatingKeysStatus);
        // An installation takes none of the system's defaults, but the links'
        // commands that name the folder it moves the product out of follow
        // it; a removal gives them back what they held before the product's.
        for (const Product::Value& value : Product::kValues)
            if (removal ? !Product::LocatesProduct(value)
                        : !Product::SetsDefault(value.data) ||
                              (situation_.moving && value.data == Product::Data::DefaultCommand))
                Value(removal && !Product::IsDefault(value.data) ? Step::DeleteValue : Step::SetValue, value);
        if (!removal)
            Add(Step::Status, Area::None, kDeletingTemporaryStatus);
        Finish();
        // A removal leaves nothing to start.
        if (!removal)
            Add(Step::StartAgain);
        if (removal)
            RemoveEmpty();
        else
            Progress(Step::Advance, 10);
        return std::move(plan_);
    }

    Plan Command(ShellCommand command) {
        Settle();
        Add(Step::Journal);
        if (command == ShellCommand::HideIcons) {
            RemoveHeld(HoldShortcuts());
        } else {
            Shortcuts();
            PlaceWritten();
        }
        for (const Product::Value& value : Product::kValues)
            if (value.data == Product::Data::Choice || value.data == Product::Data::Icons ||
                (command == ShellCommand::Reinstall && Product::SetsDefault(value.data)))
                Value(Step::SetValue, value);
        Finish();
        if (command == ShellCommand::HideIcons && Stands(Area::StartMenu, L""))
            Add(Step::RemoveFolder, Area::StartMenu);
        return std::move(plan_);
    }

  private:
    // One action, its path or text joined from the parts: every call site
    // building strings of its own would weigh more than the plan is worth.
    Action& Add(Step step,
                Area area = Area::None,
                const wchar_t* first = L"",
                const wchar_t* second = L"",
                const wchar_t* third = L"") {
        return plan_.emplace_back(step, area, std::wstring(first).append(second).append(third));
    }

    // Every new file on the disk before the first takes its name.
    void PlaceWritten() {
        for (std::size_t i = 0, planned = plan_.size(); i < planned; ++i)
            if (plan_[i].step == Step::Write)
                Add(Step::Place, plan_[i].area, plan_[i].path.c_str());
    }

    // The run's end; what a running program still holds goes at restart.
    void Finish() {
        Add(Step::Finish);
        if (std::any_of(plan_.begin(), plan_.end(), [](const Action& action) { return action.step == Step::Hold; }))
            Add(Step::AtRestart);
    }

    // The value written or deleted.
    void Value(Step step, const Product::Value& value) {
        Add(step, Area::None, value.key, L"\\", value.name).value = &value;
    }

    // The progress bar's maximum, or a step along it.
    void Progress(Step step, int amount) { Add(step).amount = amount; }

    // Whether something stands at the path by the time the action comes:
    // what stood there, what settling gives its name back, a folder planned.
    bool Stands(Area area, std::wstring_view path) const {
        for (const std::vector<Spot>* spots : {&situation_.existing, &standing_})
            for (const Spot& spot : *spots)
                if (spot.area == area && spot.path == path)
                    return true;
        return false;
    }

    // Each missing folder of the tree, outer first.
    void Folders() {
        for (const std::wstring& folder : TreeFolders())
            if (!Stands(Area::Tree, folder)) {
                Add(Step::MakeFolder, Area::Tree, folder.c_str());
                standing_.push_back({Area::Tree, folder});
            }
    }

    // A run that left its marker got past its last change and is finished;
    // one without it is undone. Journals, then markers, go last: while
    // anything of a run is left, so is what decides it.
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
                    Add(Step::SetAside, spot.area, spot.path.c_str());
                    continue;
                }
                const std::wstring place = spot.path.substr(0, slash + 1) + name.original;
                // A run with only shortcuts here went into another folder, whose
                // marker is not seen: where its new shortcut stands, it finished.
                // A kept installer without its run here is past its end (the
                // removal's own program, gone at restart), or another folder's:
                // every run writes or removes the one that stands, or is it.
                const bool finished = Has(done, name.tag) ||
                                      (!Has(here, name.tag) && (spot.area == Area::Kept || Stands(spot.area, place)));
                Step step = Step::Discard;
                if (!finished && name.kind == RunNameKind::Old)
                    step = Step::PutBack;
                else if (!finished && name.kind == RunNameKind::Journal)
                    step = Step::Restore;
                undone = undone || step != Step::Discard || name.kind == RunNameKind::New;
                settled = true;
                Add(step, spot.area, spot.path.c_str());
                // What takes its name back stands there when the files are held.
                if (step == Step::PutBack)
                    standing_.push_back({spot.area, place});
            }
        }
        if (settled)
            Add(Step::Note, Area::None, undone ? kEarlierRunUndoneNote : kEarlierRunFinished);
    }

    static bool Has(const std::vector<std::wstring>& tags, const std::wstring& tag) {
        return std::find(tags.begin(), tags.end(), tag) != tags.end();
    }

    // Held from the start, so that no other program takes a file that is to
    // be replaced without sharing meanwhile; each new file written beside its
    // place, through a temporary copy of its container.
    void HoldFiles() {
        std::wstring place;
        for (const Product::File& file : Product::kFiles)
            if (Stands(Area::Tree, place.assign(file.folder).append(L"\\").append(file.name)))
                Add(Step::Hold, Area::Tree, place.c_str());
    }

    void Files() {
        Progress(Step::ProgressMax, 52);
        for (const Product::File& file : Product::kFiles) {
            Add(Step::Repaint, Area::None, kExtractingStatus, file.payload, L".zip");
            Add(Step::Copy, Area::None, file.payload).file = &file;
            Add(Step::Repaint, Area::None, kDecompressingStatus, PayloadFileName(file.payload).c_str());
            // Before the file is written: one that fails still counts on the
            // bar, which the window shows from the next look at its events.
            Progress(Step::Advance, 2);
            Add(Step::Write, Area::Tree, file.folder, L"\\", file.name).file = &file;
        }
        Progress(Step::Advance, 5);
    }

    // Every shortcut held too, so that a file or shortcut that another
    // program holds stops the removal before anything changes; then each
    // goes, kept aside until the run is done.
    void Remove() {
        HoldShortcuts();
        KeptInstaller(true);
        const std::size_t held = plan_.size();
        Progress(Step::ProgressMax, static_cast<int>(std::count_if(plan_.begin(), plan_.end(), [](const Action& a) {
                     return a.step == Step::Hold;
                 })));
        // As before the installation's files take their names.
        if (Stands(Area::Tree, L""))
            Add(Step::ClosePrograms, Area::Tree);
        RemoveHeld(held);
    }

    // The shortcuts that stand, held; gives the plan's size after them.
    std::size_t HoldShortcuts() {
        for (const Product::Shortcut& shortcut : Product::kShortcuts)
            if (Stands(AreaOf(shortcut.place), std::wstring(L"\\").append(shortcut.name)))
                Add(Step::Hold, AreaOf(shortcut.place), L"\\", shortcut.name);
        return plan_.size();
    }

    // Each of the plan's first `held` actions that holds, removed.
    void RemoveHeld(std::size_t held) {
        for (std::size_t i = 0; i < held; ++i)
            if (plan_[i].step == Step::Hold) {
                Add(Step::Repaint, Area::None, kDeletingStatus, plan_[i].path.c_str());
                Add(Step::Remove, plan_[i].area, plan_[i].path.c_str());
                Progress(Step::Advance, 1);
            }
    }

    // Once the run is done, the product's folders where nothing else is left
    // in them, innermost first and the install folder last, and its keys;
    // those that are not there (or are links) are not the product's to
    // remove. The run's marker tells until the install folder goes that the
    // removal is to be finished, and what locates the product after it, so
    // that a run cut off anywhere leaves the next one a folder to finish.
    void RemoveEmpty() {
        const std::vector<std::wstring> tree = TreeFolders();
        for (auto folder = tree.rbegin(); folder != tree.rend(); ++folder)
            if (Stands(Area::Tree, *folder))
                Add(Step::RemoveFolder, Area::Tree, folder->c_str());
        for (Area area : {Area::StartMenu, Area::Kept})
            if (Stands(area, L""))
                Add(Step::RemoveFolder, area);
        if (Stands(Area::Tree, L""))
            Add(Step::RemoveFolder, Area::Tree);
        for (const std::wstring& folder : situation_.madeAbove)
            Add(Step::RemoveFolder, Area::None, folder.c_str());
        Add(Step::Forget);
        // Inner keys first; the registered applications' key is every
        // browser's. Then the system's defaults' keys that the reinstall
        // command made, where they are left empty.
        for (bool owned : {true, false})
            for (auto key = Product::kKeys.rbegin(); key != Product::kKeys.rend(); ++key)
                if (Product::OwnsKey(*key) == owned && *key != Product::kRegisteredAppsKey)
                    Add(Step::RemoveKey, Area::None, *key);
    }

    // The installer kept for later commands, held and written like the
    // product's files, its folder made where missing; not where the program
    // that runs is that copy. A removal holds it to remove it, last, after
    // the log of the commands that Windows runs.
    void KeptInstaller(bool removal) {
        if (!removal && situation_.keptRunning)
            return;
        if (!removal && !Stands(Area::Kept, L""))
            Add(Step::MakeFolder, Area::Kept);
        if (removal && Stands(Area::Kept, kCommandLog))
            Add(Step::Hold, Area::Kept, kCommandLog);
        if (Stands(Area::Kept, kKeptInstaller))
            Add(Step::Hold, Area::Kept, kKeptInstaller);
        if (!removal)
            Add(Step::Write, Area::Kept, kKeptInstaller);
    }

    void Shortcuts() {
        Add(Step::Status, Area::None, kMakingShortcutsStatus);
        if (situation_.shortcuts.Makes(LinkPlace::StartMenu) && !Stands(Area::StartMenu, L""))
            Add(Step::MakeFolder, Area::StartMenu);
        for (const Product::Shortcut& shortcut : Product::kShortcuts) {
            if (!situation_.shortcuts.Makes(shortcut.place))
                continue;
            const Area area = AreaOf(shortcut.place);
            if (Stands(area, std::wstring(L"\\").append(shortcut.name)))
                Add(Step::Hold, area, L"\\", shortcut.name);
            Add(Step::Write, area, L"\\", shortcut.name).shortcut = &shortcut;
        }
    }

    const Situation& situation_;
    // What stands by then that did not before: folders planned, and files
    // that settling gives their names back.
    std::vector<Spot> standing_;
    Plan plan_;
};

}  // namespace

std::vector<std::wstring> TreeFolders() {
    std::vector<std::wstring> tree;
    for (const wchar_t* folder : Product::kFolders) {
        const std::wstring path = folder;
        for (std::size_t end = 0; end != std::wstring::npos;) {
            end = path.find(L'\\', end + 1);
            // Const iterators, as in every search of texts here: one copy of std::find.
            if (std::find(tree.cbegin(), tree.cend(), path.substr(0, end)) == tree.cend())
                tree.push_back(path.substr(0, end));
        }
    }
    return tree;
}

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
    return Planner(situation).Build(false);
}

Plan PlanRemoval(const Situation& situation) {
    return Planner(situation).Build(true);
}

Plan PlanCommand(const Situation& situation, ShellCommand command) {
    return Planner(situation).Command(command);
}

Plan PlanFoldersBelow(const std::wstring& above, const std::wstring& names) {
    return Planner(Situation()).FoldersBelow(above, names);
}
