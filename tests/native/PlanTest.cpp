#include "install/Executor.h"
#include "install/Journal.h"
#include "install/Plan.h"
#include "system/Error.h"
#include "system/LogSink.h"
#include "system/Product.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

int Count(const Plan& plan, Step step, Area area = Area::None) {
    return static_cast<int>(std::count_if(plan.begin(), plan.end(), [&](const Action& action) {
        return action.step == step && (area == Area::None || action.area == area);
    }));
}

// The first action of that step, area and path.
std::size_t Find(const Plan& plan, const Action& wanted) {
    return static_cast<std::size_t>(std::find_if(plan.begin(), plan.end(),
                                                 [&](const Action& action) {
                                                     return action.step == wanted.step && action.area == wanted.area &&
                                                            action.path == wanted.path;
                                                 }) -
                                    plan.begin());
}

// How many of the product's values and keys are the system's defaults, and
// their records.
int Defaults() {
    return static_cast<int>(std::count_if(std::begin(Product::kValues), std::end(Product::kValues),
                                          [](const Product::Value& value) { return Product::IsDefault(value.data); }));
}

// Everything that a complete installation leaves, as the next one finds it.
Situation Installed() {
    Situation situation;
    situation.existing.push_back({Area::Tree, L""});
    for (const wchar_t* folder :
         {L"\\Data", L"\\Lang", L"\\Plugins", L"\\Skin", L"\\Temp", L"\\Temp\\Skin", L"\\Temp\\Update"})
        situation.existing.push_back({Area::Tree, folder});
    for (const Product::File& file : Product::kFiles)
        situation.existing.push_back({Area::Tree, std::wstring(file.folder) + L"\\" + file.name});
    situation.existing.push_back({Area::StartMenu, L""});
    situation.existing.push_back({Area::Kept, L""});
    situation.existing.push_back({Area::Kept, kKeptInstaller});
    for (const Product::Shortcut& shortcut : Product::kShortcuts)
        situation.existing.push_back({AreaOf(shortcut.place), std::wstring(L"\\") + shortcut.name});
    return situation;
}

}  // namespace

// A removal holds every file and shortcut of the product that is there before
// it removes one, deletes the values after the last, and only once the run
// is done removes the folders, innermost first and the install folder last;
// it writes, places and makes nothing; the kept installer goes last of the
// files. What locates the product goes after the run is done, before the
// install folder. Where that folder is gone, the shortcuts and values alone
// are removed.
TEST(Plan, Removal) {
    Situation situation = Installed();
    situation.existing.erase(situation.existing.end() - static_cast<std::ptrdiff_t>(Product::kShortcutCount));
    const Plan removal = PlanRemoval(situation);
    const int files = static_cast<int>(Product::kFileCount), shortcuts = static_cast<int>(Product::kShortcutCount);
    EXPECT_EQ(Count(removal, Step::Hold), files + shortcuts);
    EXPECT_EQ(Count(removal, Step::Remove), files + shortcuts);
    EXPECT_EQ(removal[Find(removal, {Step::Remove, Area::Kept, kKeptInstaller}) + 2].step, Step::Status)
        << "then the values";
    EXPECT_EQ(Count(removal, Step::Remove, Area::Desktop), 0) << "the desktop shortcut is not there";
    // The system's defaults are given what they held before; their records go.
    EXPECT_EQ(Count(removal, Step::DeleteValue), static_cast<int>(Product::kValueCount) - 3 - Defaults());
    EXPECT_EQ(Count(removal, Step::SetValue), Defaults());
    for (Step none : {Step::Write, Step::Place, Step::MakeFolder, Step::Copy})
        EXPECT_EQ(Count(removal, none), 0);
    const std::size_t firstRemove = Find(removal, {Step::Remove, Area::Tree, L"\\whatsnew.txt"});
    EXPECT_LT(Find(removal, {Step::ClosePrograms, Area::Tree}), Find(removal, {Step::Journal}));
    EXPECT_LT(Find(removal, {Step::Journal}), Find(removal, {Step::Hold, Area::Tree, L"\\whatsnew.txt"}));
    EXPECT_TRUE(removal[Find(removal, {Step::Journal})].deleting) << "its journal records the values as deleted";
    EXPECT_LT(Find(removal, {Step::Hold, Area::StartMenu, L"\\卸载泽沃浏览器.lnk"}), firstRemove);
    EXPECT_EQ(removal[firstRemove - 2], Action(Step::ClosePrograms, Area::Tree)) << "then the status text";
    const Product::Value& firstValue = Product::kValues[0];
    EXPECT_LT(Find(removal, {Step::Remove, Area::StartMenu, L"\\卸载泽沃浏览器.lnk"}),
              Find(removal, {Step::DeleteValue, Area::None, std::wstring(firstValue.key) + L"\\" + firstValue.name}));
    std::vector<std::wstring> folders;
    for (std::size_t i = Find(removal, {Step::Finish}); i < removal.size(); ++i)
        if (removal[i].step == Step::RemoveFolder)
            folders.push_back(removal[i].path);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"\\Temp\\Update", L"\\Temp\\Skin", L"\\Temp", L"\\Skin",
                                                  L"\\Plugins", L"\\Lang", L"\\Data", L"", L"", L""}));
    // Inner keys first, then those of the system's defaults (where empty),
    // and never the key that every browser's registration shares.
    const int keys = static_cast<int>(Product::kKeys.size()) - 1;
    const std::size_t forget = removal.size() - static_cast<std::size_t>(keys) - 1;
    EXPECT_EQ(removal[forget], Action(Step::Forget));
    EXPECT_EQ(removal[forget - 1], Action(Step::RemoveFolder, Area::Tree));
    EXPECT_EQ(Count(removal, Step::RemoveKey), keys);
    EXPECT_EQ(removal[removal.size() - 1 - Defaults()], Action(Step::RemoveKey, Area::None, Product::kAppPathsKey));
    EXPECT_EQ(removal.back(), Action(Step::RemoveKey, Area::None, Product::kHtmKey));
    EXPECT_LT(Find(removal, {Step::RemoveKey, Area::None, Product::kPageCommandKey}),
              Find(removal, {Step::RemoveKey, Area::None, Product::kPageClassKey}));

    Situation gone;
    gone.existing.assign(situation.existing.end() - static_cast<std::ptrdiff_t>(shortcuts), situation.existing.end());
    const Plan shortcutsOnly = PlanRemoval(gone);
    EXPECT_EQ(Count(shortcutsOnly, Step::Remove), shortcuts) << "the shortcuts and the kept installer";
    for (Step none : {Step::ClosePrograms, Step::RemoveFolder})
        EXPECT_EQ(Count(shortcutsOnly, none, Area::Tree), 0);
    EXPECT_EQ(Count(shortcutsOnly, Step::Forget), 1);
}

// A fresh installation makes each folder once, outer first, writes every file
// and shortcut beside its place before any takes its name; an upgrade holds
// what it replaces before it writes anything and makes nothing that is there.
TEST(Plan, FreshAndUpgrade) {
    const Plan fresh = PlanInstallation(Situation());
    std::vector<std::wstring> folders;
    for (const Action& action : fresh)
        if (action.step == Step::MakeFolder)
            folders.push_back(action.path);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"\\Data", L"\\Lang", L"\\Plugins", L"\\Skin", L"\\Temp",
                                                  L"\\Temp\\Skin", L"\\Temp\\Update", L"", L""}));
    EXPECT_EQ(Count(fresh, Step::Hold), 0);
    const int files = static_cast<int>(Product::kFileCount), shortcuts = static_cast<int>(Product::kShortcutCount);
    EXPECT_EQ(Count(fresh, Step::Write), files + shortcuts + 1) << "and the kept installer";
    // None of the system's defaults is taken.
    const int values = static_cast<int>(Product::kValueCount) - 2 * Defaults();
    EXPECT_EQ(Count(fresh, Step::SetValue), values);
    // The running copies are closed before the journal, which comes before
    // the first new file; every file is written before the first takes its
    // place, and the marker comes after the last value.
    const std::size_t firstPlace = Find(fresh, {Step::Place, Area::Tree, L"\\whatsnew.txt"});
    EXPECT_LT(Find(fresh, {Step::ClosePrograms, Area::Tree}), Find(fresh, {Step::Journal}));
    EXPECT_LT(Find(fresh, {Step::Journal}), Find(fresh, {Step::Write, Area::Tree, L"\\whatsnew.txt"}));
    EXPECT_FALSE(fresh[Find(fresh, {Step::Journal})].deleting);
    EXPECT_LT(Find(fresh, {Step::Write, Area::Tree, L"\\Lang\\0x0409.ini"}), firstPlace);
    const Action lastShortcut{Step::Write, Area::StartMenu,
                              std::wstring(L"\\") + Product::kShortcuts[shortcuts - 1].name};
    EXPECT_LT(Find(fresh, lastShortcut), firstPlace);
    // The running copies are looked for again once everything is written:
    // one that started meanwhile runs from no file that is replaced.
    EXPECT_EQ(Count(fresh, Step::ClosePrograms), 2);
    EXPECT_EQ(fresh[firstPlace - 1], Action(Step::ClosePrograms, Area::Tree));
    const Product::Value& lastValue = Product::kValues[values - 1];
    EXPECT_GT(Find(fresh, {Step::Finish}),
              Find(fresh, {Step::SetValue, Area::None, std::wstring(lastValue.key) + L"\\" + lastValue.name}));
    // Each file, shortcut and value is written once, from its own row.
    std::vector<const void*> rows;
    for (const Action& action : fresh)
        if ((action.step == Step::Write && action.area != Area::Kept) || action.step == Step::SetValue)
            rows.push_back(action.file       ? static_cast<const void*>(action.file)
                           : action.shortcut ? static_cast<const void*>(action.shortcut)
                                             : action.value);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(std::unique(rows.begin(), rows.end()) - rows.begin(), files + shortcuts + values);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), nullptr), 0);

    const Plan upgrade = PlanInstallation(Installed());
    EXPECT_EQ(Count(upgrade, Step::MakeFolder), 0);
    EXPECT_EQ(Count(upgrade, Step::Hold, Area::Tree), files);
    EXPECT_EQ(Count(upgrade, Step::Hold, Area::Desktop) + Count(upgrade, Step::Hold, Area::StartMenu), shortcuts);
    EXPECT_LT(Find(upgrade, {Step::Hold, Area::Tree, L"\\Lang\\0x0409.ini"}),
              Find(upgrade, {Step::Copy, Area::None, L"whatsnewtxt"}));
    EXPECT_LT(Find(upgrade, {Step::Hold, Area::StartMenu, lastShortcut.path}), Find(upgrade, lastShortcut));
    EXPECT_LT(Find(upgrade, {Step::Hold, Area::Kept, kKeptInstaller}),
              Find(upgrade, {Step::Write, Area::Kept, kKeptInstaller}));

    // The kept installer that runs is not written again, nor held; its
    // removal removes it all the same.
    Situation fromKept = Installed();
    fromKept.keptRunning = true;
    const Plan again = PlanInstallation(fromKept);
    EXPECT_EQ(Count(again, Step::Hold, Area::Kept) + Count(again, Step::Write, Area::Kept), 0);
    EXPECT_EQ(Count(PlanRemoval(fromKept), Step::Remove, Area::Kept), 1);

    // Moved into another folder, it writes the links' commands besides, and
    // no other default nor any record of one.
    Situation moving = Installed();
    moving.moving = true;
    const Plan moved = PlanInstallation(moving);
    EXPECT_EQ(Count(moved, Step::SetValue), Count(upgrade, Step::SetValue) + 3);
    for (const Action& action : moved)
        if (action.value && Product::SetsDefault(action.value->data))
            EXPECT_EQ(action.value->data, Product::Data::DefaultCommand) << testing::PrintToString(action.path);
}

// Whatever the machine holds: every file written takes its place once, after
// it was written; a plan that holds a file deletes it at restart should a
// program still map it; a removal holds, removes and deletes only what the
// product's tables name, never another file that shares its folders.
TEST(Plan, EveryWriteItsPlaceEveryHoldItsRestartAndRemovalOnlyTheProducts) {
    std::vector<std::pair<Area, std::wstring>> products;
    for (const Product::File& file : Product::kFiles)
        products.emplace_back(Area::Tree, std::wstring(file.folder) + L"\\" + file.name);
    for (const Product::Shortcut& shortcut : Product::kShortcuts)
        products.emplace_back(AreaOf(shortcut.place), std::wstring(L"\\") + shortcut.name);
    products.emplace_back(Area::Kept, kKeptInstaller);
    Situation withOthers = Installed();
    for (const wchar_t* other : {L"\\Data\\bookmarks.txt", L"\\Zarvo.exe.bak", L"\\Plugins\\their.dll"})
        withOthers.existing.push_back({Area::Tree, other});
    withOthers.existing.push_back({Area::Desktop, L"\\Their.lnk"});
    Situation someShortcuts;
    someShortcuts.shortcuts.desktop = false;
    for (const Situation& situation : {Situation(), Installed(), withOthers, someShortcuts}) {
        const Plan plan = PlanInstallation(situation);
        for (std::size_t i = 0; i < plan.size(); ++i) {
            if (plan[i].step != Step::Write)
                continue;
            const Action place(Step::Place, plan[i].area, plan[i].path);
            EXPECT_EQ(std::count(plan.begin(), plan.end(), place), 1) << testing::PrintToString(plan[i].path);
            EXPECT_GT(Find(plan, place), i) << testing::PrintToString(plan[i].path);
        }
        EXPECT_EQ(Count(plan, Step::Place), Count(plan, Step::Write));
        for (const Plan& each : {plan, PlanRemoval(situation)}) {
            EXPECT_EQ(Count(each, Step::AtRestart), Count(each, Step::Hold) ? 1 : 0);
            if (Count(each, Step::Hold))
                EXPECT_GT(Find(each, {Step::AtRestart}), Find(each, {Step::Finish}));
        }
        for (const Action& action : PlanRemoval(situation))
            if (action.step == Step::Hold || action.step == Step::Remove)
                EXPECT_NE(std::find(products.begin(), products.end(), std::make_pair(action.area, action.path)),
                          products.end())
                    << testing::PrintToString(action.path);
    }
}

// What earlier runs left is settled after the running copies are ended and
// before the journal: a run without its marker undone, shortcuts included,
// one with it finished, a run of which only shortcuts are left by whether the
// new shortcut stands; journals, then markers, last. Journals and markers
// count only in the install folder itself, and a journal refused is set
// aside and settles nothing. The directory check makes each missing folder
// of the install folder's path, outer first, and the shortcuts left out are
// neither made nor their group.
TEST(Plan, SettleMadeFoldersAndShortcutChoices) {
    Situation situation = Installed();
    situation.left = {
        {Area::Tree, L"\\Zarvo.exe.zs-aaaaaaaa-new"},
        {Area::Tree, L"\\Data\\ZarvConfig.ini.zs-aaaaaaaa-old"},
        {Area::Tree, L"\\zs-aaaaaaaa-journal"},
        {Area::Tree, L"\\zs-bbbbbbbb-done"},
        {Area::Tree, L"\\ZarvZip.dll.zs-bbbbbbbb-old"},
        {Area::Tree, L"\\zs-bbbbbbbb-journal"},
        {Area::Desktop, L"\\泽沃浏览器.lnk.zs-aaaaaaaa-old"},
        {Area::Desktop, L"\\泽沃浏览器.lnk.zs-cccccccc-old"},
        {Area::StartMenu, L"\\gone.lnk.zs-cccccccc-old"},
    };
    const Plan plan = PlanInstallation(situation);
    const std::vector<Action> expected = {
        {Step::Discard, Area::Tree, L"\\Zarvo.exe.zs-aaaaaaaa-new"},
        {Step::PutBack, Area::Tree, L"\\Data\\ZarvConfig.ini.zs-aaaaaaaa-old"},
        {Step::Discard, Area::Tree, L"\\ZarvZip.dll.zs-bbbbbbbb-old"},
        {Step::PutBack, Area::Desktop, L"\\泽沃浏览器.lnk.zs-aaaaaaaa-old"},
        {Step::Discard, Area::Desktop, L"\\泽沃浏览器.lnk.zs-cccccccc-old"},
        {Step::PutBack, Area::StartMenu, L"\\gone.lnk.zs-cccccccc-old"},
        {Step::Restore, Area::Tree, L"\\zs-aaaaaaaa-journal"},
        {Step::Discard, Area::Tree, L"\\zs-bbbbbbbb-journal"},
        {Step::Discard, Area::Tree, L"\\zs-bbbbbbbb-done"},
        {Step::Note, Area::None, L"上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。"},
        {Step::Journal},
    };
    const std::size_t first = Find(plan, expected.front());
    ASSERT_LT(first, plan.size());
    EXPECT_EQ(Plan(plan.begin() + first, plan.begin() + first + expected.size()), expected);
    EXPECT_EQ(plan[first - 1].step, Step::ClosePrograms);
    Situation planted = Installed();
    planted.left = {{Area::Tree, L"\\Data\\zs-dddddddd-journal"},
                    {Area::Desktop, L"\\zs-dddddddd-journal"},
                    {Area::StartMenu, L"\\zs-eeeeeeee-done"},
                    {Area::Tree, L"\\zs-ffffffff-journal", true}};
    const Plan refused = PlanInstallation(planted);
    const std::size_t setAside = Find(refused, {Step::SetAside, Area::Tree, L"\\zs-ffffffff-journal"});
    ASSERT_LT(setAside + 1, refused.size());
    EXPECT_EQ(refused[setAside - 1].step, Step::ClosePrograms);
    EXPECT_EQ(refused[setAside + 1], Action(Step::Journal)) << "nothing settled, nor said to be";
    // A file that was aside when the run began is held once it has its name
    // back, so that the new one does not find the name taken.
    Situation aside;
    aside.left = {{Area::Tree, L"\\whatsnew.txt.zs-aaaaaaaa-old"}};
    const Plan putBack = PlanInstallation(aside);
    EXPECT_LT(Find(putBack, {Step::PutBack, Area::Tree, L"\\whatsnew.txt.zs-aaaaaaaa-old"}),
              Find(putBack, {Step::Hold, Area::Tree, L"\\whatsnew.txt"}));
    EXPECT_LT(Find(putBack, {Step::Hold, Area::Tree, L"\\whatsnew.txt"}), putBack.size());
    // A kept installer that a removal ran, kept aside with nothing of its run
    // left here, goes: it is not put back.
    Situation removedFromKept;
    removedFromKept.left = {{Area::Kept, L"\\ZarvoSetup.exe.zs-dddddddd-old"}};
    EXPECT_EQ(Count(PlanInstallation(removedFromKept), Step::Discard, Area::Kept), 1);

    EXPECT_EQ(PlanFoldersBelow(L"C:\\", L"\\Apps\\\\Zarvo"),
              (Plan{{Step::Made, Area::None, L"C:\\Apps"}, {Step::Made, Area::None, L"C:\\Apps\\Zarvo"}}));
    EXPECT_TRUE(PlanFoldersBelow(L"C:\\Apps", L"").empty());
    Situation chosen;
    chosen.shortcuts.desktop = false;
    const Plan withoutDesktop = PlanInstallation(chosen);
    EXPECT_EQ(Count(withoutDesktop, Step::Write, Area::Desktop), 0);
    EXPECT_EQ(Count(withoutDesktop, Step::Write, Area::StartMenu), 4);
    chosen.shortcuts.startMenu = false;
    const Plan withNeither = PlanInstallation(chosen);
    EXPECT_EQ(Count(withNeither, Step::Write, Area::StartMenu) + Count(withNeither, Step::MakeFolder, Area::StartMenu),
              0);
    EXPECT_EQ(Count(withNeither, Step::Advance), Count(withoutDesktop, Step::Advance));
}

namespace {

// Records what is done, undone and shown; fails at one change, and at one
// undo. Changes in the tree have an undo here, others none.
class RecordingOperations final : public Operations, public InstallProgress {
  public:
    void Do(const Action& action) override {
        if (done.size() == failAt)
            throw Error(L"Stream write error", 112);
        done.push_back(action);
    }
    void Undo(const Action& action) override {
        undone.push_back(action);
        if (action.step == failUndo)
            throw Error(L"Sharing violation", 32);
    }
    std::wstring Describe(const Action& action) const override { return L"D" + action.path; }
    bool Undoable(const Action& action) const override { return action.area == Area::Tree; }
    void ShowStatus(const std::wstring& text, bool) override { shown.push_back(text); }
    void SetProgressMax(int) override {}
    void AdvanceProgress(int) override {}
    StillRunning ProgramsStillRunning(const std::wstring&) override { return StillRunning::Stop; }

    std::size_t failAt = ~std::size_t(0);
    Step failUndo = Step::Status;
    std::vector<Action> done, undone;
    std::vector<std::wstring> shown;
};

class TextLog final : public LogSink {
  public:
    void Step(std::wstring_view line) override { text.append(line).append(L"\n"); }
    void Line(std::initializer_list<std::wstring_view> parts) override {
        for (std::wstring_view part : parts)
            text.append(part);
        text.append(L"\n");
    }
    std::wstring text;
};

}  // namespace

// A failure at any change undoes exactly the changes done before it that have
// an undo, last first, and reaches the caller as it was raised; an undo that
// fails is logged and the others still run. What is shown goes to the window,
// not to the machine.
// The commands that Windows runs touch the shortcuts and the values that
// record them only (and, to reinstall, the system's defaults): no file of
// the product, no running program.
TEST(Plan, CommandsTouchOnlyShortcutsAndTheirRecords) {
    const int shortcuts = static_cast<int>(Product::kShortcutCount);
    const Plan hide = PlanCommand(Installed(), ShellCommand::HideIcons);
    EXPECT_EQ(Count(hide, Step::Hold), shortcuts);
    EXPECT_EQ(Count(hide, Step::Remove), shortcuts);
    EXPECT_EQ(hide.back(), Action(Step::RemoveFolder, Area::StartMenu)) << "the group, once the run is done";
    Situation hidden = Installed();
    hidden.existing.resize(hidden.existing.size() - Product::kShortcutCount - 3);
    const Plan show = PlanCommand(hidden, ShellCommand::ShowIcons);
    EXPECT_EQ(Count(show, Step::Write), shortcuts);
    EXPECT_EQ(Count(show, Step::Place), shortcuts);
    EXPECT_EQ(Count(show, Step::MakeFolder, Area::StartMenu), 1);
    const Plan reinstall = PlanCommand(hidden, ShellCommand::Reinstall);
    for (const Plan* plan : {&hide, &show, &reinstall}) {
        EXPECT_EQ(Count(*plan, Step::SetValue), plan == &reinstall ? 2 + 2 * Defaults() : 2);
        for (Step none : {Step::Copy, Step::ClosePrograms, Step::DeleteValue, Step::RemoveKey})
            EXPECT_EQ(Count(*plan, none), 0);
        EXPECT_EQ(Count(*plan, Step::Hold, Area::Tree) + Count(*plan, Step::Write, Area::Tree), 0);
        EXPECT_LT(Find(*plan, {Step::Journal}), Find(*plan, {Step::Finish}));
    }
}

TEST(Executor, FailureAtEachChangeUndoesEverythingBeforeItBackwards) {
    const Plan plan = PlanInstallation(Installed());
    Plan changes;
    std::vector<std::wstring> statuses;
    for (const Action& action : plan)
        if (action.step >= kFirstChange)
            changes.push_back(action);
        else if (action.step <= Step::Repaint)
            statuses.push_back(action.path);
    for (std::size_t failAt = 0; failAt < changes.size(); ++failAt) {
        RecordingOperations operations;
        operations.failAt = failAt;
        operations.failUndo = Step::Place;
        TextLog log;
        try {
            Execute(plan, operations, log, &operations);
            ADD_FAILURE() << "no failure at " << failAt;
        } catch (const Error& error) {
            EXPECT_EQ(error.Code(), 112u);
        }
        std::vector<Action> expected;
        for (std::size_t i = failAt; i-- > 0;)
            if (operations.Undoable(changes[i]))
                expected.push_back(changes[i]);
        EXPECT_EQ(operations.undone, expected) << "failure at " << failAt;
        EXPECT_NE(log.text.find(L"失败：D" + changes[failAt].path + L"：Stream write error（错误代码 112）"),
                  std::wstring::npos)
            << failAt;
        const bool undoFailed = std::any_of(expected.begin(), expected.end(),
                                            [](const Action& action) { return action.step == Step::Place; });
        EXPECT_EQ(log.text.find(L"撤销失败：D\\whatsnew.txt：Sharing violation（错误代码 32）") != std::wstring::npos,
                  undoFailed)
            << failAt;
    }
    RecordingOperations operations;
    TextLog log;
    Execute(plan, operations, log, &operations);
    EXPECT_EQ(operations.done, changes);
    EXPECT_EQ(operations.shown, statuses);
    EXPECT_TRUE(operations.undone.empty());
}
