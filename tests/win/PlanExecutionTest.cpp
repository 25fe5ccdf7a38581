#include "install/Journal.h"
#include "install/MachineOperations.h"
#include "system/Reg.h"
#include "system/RunNames.h"
#include "tests/win/InstallFixture.h"

namespace {

// The installation's progress, without a window to show it.
class QuietProgress final : public InstallProgress {
  public:
    void ShowStatus(const std::wstring&, bool) override {}
    void SetProgressMax(int) override {}
    void AdvanceProgress(int) override {}
    StillRunning ProgramsStillRunning(const std::wstring&) override { return StillRunning::Stop; }
};

// Which action fails: by its number in the plan, or the first of a step.
struct Failure {
    std::size_t at = ~std::size_t(0);
    Step step = Step::Status;
    bool abrupt = false;  // nothing is undone either, as when the process is ended there
};

// The machine's operations, failing at one change of the plan as though it
// had failed.
class FailingOperations final : public Operations {
  public:
    FailingOperations(Operations& inner, Failure failure, const Plan& plan)
        : inner_(inner), failure_(failure), plan_(plan) {}
    void Do(const Action& action) override {
        const bool at = static_cast<std::size_t>(&action - plan_.data()) >= failure_.at ||
                        (failure_.step != Step::Status && action.step == failure_.step);
        if (at)
            throw Error(L"injected", ERROR_GEN_FAILURE);
        inner_.Do(action);
    }
    void Undo(const Action& action) override {
        if (!failure_.abrupt)
            inner_.Undo(action);
    }
    std::wstring Describe(const Action& action) const override { return inner_.Describe(action); }
    bool Undoable(const Action& action) const override { return inner_.Undoable(action); }

  private:
    Operations& inner_;
    Failure failure_;
    const Plan& plan_;
};

class PlanExecutionTest : public InstallTest {
  protected:
    // Installs into `dir` as the wizard would, from its directory check on,
    // but for the failure; returns the number of actions planned up to the
    // end, after which nothing fails.
    std::size_t InstallFailing(const std::wstring& dir, Failure failure) {
        InstallRequest request;
        EXPECT_EQ(CheckInstallFolder(dir, TempDirectory(), request.folder, application_.Log()).reason,
                  FolderRefusal::None);
        request.tempDir = TempDirectory();
        request.shortcutsText = L"/DesktopShortcut=true /StartMenuShortcut=true";
        request.link = InstallMain::ShellLinkInterface.get();
        request.persist = InstallMain::PersistInterface.get();
        bool failed = false;
        {
            MachineOperations operations(request, progress_, application_.Log(), RunTag(++runs_));
            plan_ = PlanInstallation(operations.Look());
            FailingOperations failing(operations, failure, plan_);
            try {
                Execute(plan_, failing, application_.Log(), &progress_);
            } catch (const Error&) {
                failed = !failure.abrupt;
            }
        }
        // As the installation does, once nothing of the run holds them.
        if (failed)
            Undo(request.folder.made, request.folder.making, application_.Log());
        return std::find(plan_.begin(), plan_.end(), Action(Step::Finish)) - plan_.begin() + 1;
    }

    // Removes the product from `dir` as /uninstall would (or carries out the
    // command), from its folder's check on, but for the failure; returns the
    // number of actions planned up to the end, after which nothing fails.
    std::size_t RemoveFailing(const std::wstring& dir, Failure failure, ShellCommand command = ShellCommand::None) {
        InstallRequest request;
        EXPECT_EQ(CheckInstallFolder(dir, L"", request.folder, application_.Log(), nullptr, true).reason,
                  FolderRefusal::None);
        request.removing = command == ShellCommand::None;
        request.command = command;
        const bool shown = command != ShellCommand::HideIcons;
        request.shortcuts = {shown, shown};
        request.link = InstallMain::ShellLinkInterface.get();
        request.persist = InstallMain::PersistInterface.get();
        MachineOperations operations(request, progress_, application_.Log(), RunTag(++runs_));
        plan_ = request.removing ? PlanRemoval(operations.Look()) : PlanCommand(operations.Look(), command);
        FailingOperations failing(operations, failure, plan_);
        try {
            Execute(plan_, failing, application_.Log(), &progress_);
        } catch (const Error&) {
        }
        return std::find(plan_.begin(), plan_.end(), Action(Step::Finish)) - plan_.begin() + 1;
    }

    // The last run's plan.
    Plan plan_;
    QuietProgress progress_;
    unsigned long runs_ = 0;
};

}  // namespace

// A failure at any action of an upgrade, and of a fresh installation, puts
// every file, shortcut, registry value and folder back as it was, with none
// of the run's own names or temporary copies left. The older release here
// has detection values of its own, and no VersionMinor.
TEST_F(PlanExecutionTest, FailureAtEachActionLeavesWhatWasThere) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    MakeOlderRelease(dir);
    const DWORD zero = 0;
    RegWriteValue(HKEY_LOCAL_MACHINE, kUninstall, false, L"VersionMajor", REG_DWORD, &zero, sizeof zero);
    RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, false, L"InstallDate", L"20100101");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueW(key, L"VersionMinor");
    RegCloseKey(key);
    const ProductState older = CurrentProduct(dir);
    for (std::size_t failAt = 0, actions = 1; failAt < actions; ++failAt) {
        actions = InstallFailing(dir, {failAt});
        ASSERT_TRUE(CurrentProduct(dir) == older) << "upgrade failing at action " << failAt;
        ASSERT_TRUE(RunNamesLeft(dir).empty()) << failAt;
        ASSERT_TRUE(ScratchFolders().empty()) << failAt;
    }

    RemoveInstallation(kTestRoot);
    ASSERT_TRUE(CreateDirectoryW(kTestRoot, nullptr));
    for (std::size_t failAt = 0, actions = 1; failAt < actions; ++failAt) {
        actions = InstallFailing(dir, {failAt});
        ASSERT_FALSE(Exists(dir)) << "fresh installation failing at action " << failAt;
        ASSERT_FALSE(Exists(DesktopLink())) << failAt;
        ASSERT_FALSE(Exists(ProgramGroup())) << failAt;
        ASSERT_FALSE(Exists(KeptFolder())) << failAt;
        ExpectNothingRegistered();
    }
}

// A removal that fails at any action leaves the product as it was; one ended
// abruptly once its values are gone is settled back by the next run.
TEST_F(PlanExecutionTest, RemovalFailingAtEachActionLeavesTheProduct) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    ProductState installed = CurrentProduct(dir);
    std::sort(installed.values.begin(), installed.values.end());
    const auto now = [&] {
        ProductState state = CurrentProduct(dir);
        std::sort(state.values.begin(), state.values.end());
        return state;
    };
    for (std::size_t failAt = 0, actions = 1; failAt < actions; ++failAt) {
        actions = RemoveFailing(dir, {failAt});
        ASSERT_TRUE(now() == installed) << "removal failing at action " << failAt;
        ASSERT_TRUE(RunNamesLeft(dir).empty()) << failAt;
    }
    // So do the commands that Windows runs: the system's defaults taken, the
    // icons hidden.
    for (ShellCommand command : {ShellCommand::Reinstall, ShellCommand::HideIcons})
        for (std::size_t failAt = 0, actions = 1; failAt < actions; ++failAt) {
            actions = RemoveFailing(dir, {failAt}, command);
            ASSERT_TRUE(now() == installed) << "command failing at action " << failAt;
            ASSERT_TRUE(RunNamesLeft(dir).empty()) << failAt;
        }
    RemoveFailing(dir, {~std::size_t(0), Step::Finish, true});
    EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe"));
    InstallFailing(dir, {~std::size_t(0), Step::Journal, true});
    EXPECT_TRUE(now() == installed);
    EXPECT_TRUE(RunNamesLeft(dir).empty());
}

// Ended abruptly at any phase of an upgrade, and the next run ended right
// after it has settled what was left: the older release's files, shortcuts
// and registry values together, those that the ended run changed included;
// or, once the ended run had finished, the newer release's.
TEST_F(PlanExecutionTest, AbruptEndAtEachPhaseIsSettledAsOneRelease) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    const ProductState newer = CurrentProduct(dir);
    const auto makeOlder = [&] {
        MakeOlderRelease(dir);
        for (const std::wstring& link :
             {DesktopLink(), ProgramGroup() + L"\\泽沃浏览器.lnk", ProgramGroup() + L"\\卸载泽沃浏览器.lnk"}) {
            DeleteFileW(link.c_str());
            WriteBytes(link, "an older shortcut");
        }
        RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, true, L"DisplayVersion", L"1.0.0.1");
    };
    // The first action of each kind that changes something, one among the
    // files taking their names, the end, and the action after it.
    const std::size_t finished = InstallFailing(dir, {0, Step::Status, true});
    const std::size_t places =
        std::find_if(plan_.begin(), plan_.end(), [](const Action& action) { return action.step == Step::Place; }) -
        plan_.begin();
    std::vector<std::size_t> phases{places + 7, finished - 1, finished};
    for (std::size_t i = 0; i < finished; ++i)
        if (plan_[i].step >= kFirstChange && std::none_of(plan_.begin(), plan_.begin() + i, [&](const Action& earlier) {
                return earlier.step == plan_[i].step && earlier.area == plan_[i].area;
            }))
            phases.push_back(i);
    // The registry lists values in no order that matters.
    const auto values = [](ProductState state) {
        std::sort(state.values.begin(), state.values.end());
        return state.values;
    };
    for (std::size_t failAt : phases) {
        makeOlder();
        const ProductState older = CurrentProduct(dir);
        InstallFailing(dir, {failAt, Step::Status, true});
        InstallFailing(dir, {~std::size_t(0), Step::Journal, true});
        const ProductState now = CurrentProduct(dir);
        if (failAt < finished) {
            EXPECT_TRUE(now.files == older.files) << "ended at " << failAt;
            EXPECT_TRUE(now.shortcuts == older.shortcuts) << failAt;
            EXPECT_TRUE(values(now) == values(older)) << failAt;
        } else {
            // A shortcut holds its target's times, and is made anew.
            EXPECT_TRUE(now.files == newer.files);
            EXPECT_EQ(std::count(now.shortcuts.begin(), now.shortcuts.end(), "an older shortcut"), 0);
            EXPECT_TRUE(values(now) == values(newer));
        }
        EXPECT_TRUE(RunNamesLeft(dir).empty()) << failAt;
    }
}

// Ended abruptly at any phase of a removal, the last changes included, the
// product is still found where the Uninstall entry records it, and the next
// removal finishes the ended one: nothing of the product or of either run is
// left.
TEST_F(PlanExecutionTest, RemovalEndedAbruptlyAtEachPhaseIsFinishedByTheNext) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    // The first action of each kind that changes something up to the values
    // that locate the product, one among the files going, and the install
    // folder's removal.
    RemoveFailing(dir, {0, Step::Status, true});
    const std::size_t forget = std::find(plan_.begin(), plan_.end(), Action(Step::Forget)) - plan_.begin();
    const std::size_t folder =
        std::find(plan_.begin(), plan_.end(), Action(Step::RemoveFolder, Area::Tree)) - plan_.begin();
    const std::size_t removing =
        std::find_if(plan_.begin(), plan_.end(), [](const Action& action) { return action.step == Step::Remove; }) -
        plan_.begin();
    // Each phase, and whether the cut came inside it, after the marker went.
    std::vector<std::pair<std::size_t, bool>> phases{{removing + 9, false}, {folder, false}, {folder, true}};
    for (std::size_t i = 0; i <= forget; ++i)
        if (plan_[i].step >= kFirstChange && std::none_of(plan_.begin(), plan_.begin() + i, [&](const Action& earlier) {
                return earlier.step == plan_[i].step && earlier.area == plan_[i].area;
            }))
            phases.emplace_back(i, false);
    for (const auto& [endAt, markerGone] : phases) {
        ASSERT_EQ(Install(dir), L"");
        RemoveFailing(dir, {endAt, Step::Status, true});
        for (const std::wstring& left : markerGone ? RunNamesLeft(dir) : std::vector<std::wstring>())
            DeleteFileW(left.c_str());
        ASSERT_EQ(InstallMain::RecordedFolder(), dir) << "ended at " << endAt;
        RemoveFailing(dir, {});
        EXPECT_FALSE(Exists(dir)) << endAt;
        EXPECT_FALSE(Exists(DesktopLink())) << endAt;
        EXPECT_FALSE(Exists(ProgramGroup())) << endAt;
        ExpectNothingRegistered();
    }

    // A marker that cannot go yet is not said to be gone, and the product
    // stays found until it has.
    BoxesToLog();
    ASSERT_EQ(Install(dir), L"");
    RemoveFailing(dir, {folder, Step::Status, true});
    const std::vector<std::wstring> left = RunNamesLeft(dir);
    ASSERT_EQ(left.size(), 1u);
    {
        const UniqueHandle held(CreateFileW(left[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        RemoveFailing(dir, {});
    }
    const std::wstring log = Boxes();
    EXPECT_NE(log.find(L"未能删除"), std::wstring::npos) << log;
    EXPECT_EQ(log.find(kEarlierRunFinished), std::wstring::npos) << log;
    EXPECT_EQ(RunNamesLeft(dir), left);
    EXPECT_EQ(InstallMain::RecordedFolder(), dir);
    RemoveFailing(dir, {});
    EXPECT_FALSE(Exists(dir));
}

namespace {

std::vector<unsigned char> Text(const wchar_t* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    return std::vector<unsigned char>(bytes, bytes + (wcslen(text) + 1) * sizeof(wchar_t));
}

void WriteJournal(const std::wstring& path, const std::vector<JournalValue>& values) {
    const std::vector<unsigned char> bytes = EncodeJournal(values);
    WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

// A journal counts only in the install folder, and only where it names the
// product's values, says of them only what the product could have had, is
// no larger than a run writes and nobody but the administrators may change it; any
// other is set aside with its reason, changes nothing, and neither it nor a
// key of the product that has gained a key of another's below it stops this
// run or the next.
TEST_F(PlanExecutionTest, JournalsSettleOnlyTheirOwnRunAndNeverBlockOne) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    const wchar_t kPlanted[] = L"SOFTWARE\\ZarvoPlanted";
    RegWriteString(HKEY_LOCAL_MACHINE, kPlanted, true, L"ImagePath", L"C:\\Windows\\service.exe");
    RegWriteString(HKEY_LOCAL_MACHINE, (std::wstring(kPlanted) + L"\\Sub").c_str(), true, L"", L"kept");
    // What the registry would become if a journal were obeyed: ImagePath
    // re-pointed, the key below deleted.
    const std::vector<JournalValue> foreign = {
        {kPlanted, L"ImagePath", true, true, REG_SZ, Text(L"C:\\users\\Public\\evil.exe"), REG_SZ,
         Text(L"C:\\Windows\\service.exe")},
        {std::wstring(kPlanted) + L"\\Sub", L"", false, false, 0, {}, REG_SZ, Text(L"kept")},
    };
    const std::wstring folders[] = {dir,
                                    dir + L"\\Data",
                                    dir + L"\\Lang",
                                    dir + L"\\Plugins",
                                    dir + L"\\Skin",
                                    dir + L"\\Temp",
                                    dir + L"\\Temp\\Skin",
                                    dir + L"\\Temp\\Update",
                                    SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
                                    ProgramGroup()};
    for (const std::wstring& folder : folders)
        WriteJournal(folder + L"\\zs-0000000a-journal", foreign);
    // The product's own value, in a journal that every account may change.
    WriteJournal(dir + L"\\zs-0000000b-journal",
                 {{kUninstall, L"UninstallString", true, true, REG_SZ, Text(L"C:\\users\\Public\\evil.exe"), REG_SZ,
                   Text((L"\"" + dir + L"\\ZarvService.exe\" Uninstall").c_str())}});
    ASSERT_TRUE(OpenToEveryone(dir + L"\\zs-0000000b-journal"));
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\zs-0000000c-journal").c_str(), nullptr));
    // The product's own values, whose earlier data are of types that the
    // product never gives them.
    const std::wstring app = dir + L"\\Zarvo.exe", command = L"\"" + dir + L"\\ZarvService.exe\" Uninstall";
    WriteJournal(dir + L"\\zs-0000000d-journal",
                 {{kAppPaths, L"", true, true, REG_EXPAND_SZ, Text(L"C:\\evil\\evil.exe"), REG_SZ, Text(app.c_str())},
                  {kUninstall, L"UninstallString", true, true, REG_MULTI_SZ, Text(L"C:\\evil\\evil.exe"), REG_SZ,
                   Text(command.c_str())}});
    // One whose first bytes are a journal that could be taken, the whole
    // past 4 GiB, which its size's low part alone hides.
    const std::wstring huge = dir + L"\\zs-0000000e-journal";
    WriteJournal(huge, {{kAppPaths, L"Path", true, true, REG_SZ, Text(L"C:\\Other"), REG_SZ, Text(dir.c_str())}});
    {
        UniqueHandle file(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end{};
        ASSERT_TRUE(GetFileSizeEx(file.get(), &end));
        end.QuadPart += 0x100000000LL;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }

    BoxesToLog();
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Install(dir), L"") << run;
        ExpectProductInstalled(dir);
        EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kPlanted, L"ImagePath").text,
                  std::wstring(L"C:\\Windows\\service.exe") + L'\0');
        EXPECT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, std::wstring(kPlanted) + L"\\Sub", L"").text,
                  std::wstring(L"kept") + L'\0');
    }
    // Each of the three in the install folder itself is told once, and set
    // aside; the others are not the runs' own.
    const std::wstring log = Boxes();
    std::size_t told = 0;
    for (std::size_t at = 0; (at = log.find(L"未使用此日志", at)) != std::wstring::npos; ++at)
        ++told;
    EXPECT_EQ(told, 5u) << log;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"})
        EXPECT_TRUE(Exists(dir + L"\\zs-0000000" + name + L"-journal.refused")) << name;
    EXPECT_EQ(RunNamesLeft(dir).size(), 5u) << "those of Data, Skin, Lang, the desktop and the group";
    EXPECT_EQ(log.find(L"上次安装没有完成"), std::wstring::npos) << "nothing was undone";
    for (const std::wstring& folder : folders)
        DeleteFileW((folder + L"\\zs-0000000a-journal").c_str());
    DeleteRegTree(HKEY_LOCAL_MACHINE, kPlanted);

    // A fresh installation ended once its values are written: the keys are
    // its own, but one has gained a key of another's meanwhile.
    RemoveInstallation(kTestRoot);
    ASSERT_TRUE(CreateDirectoryW(kTestRoot, nullptr));
    InstallFailing(dir, {~std::size_t(0), Step::Finish, true});
    RegWriteString(HKEY_LOCAL_MACHINE, (std::wstring(kAppPaths) + L"\\Another").c_str(), true, L"", L"kept");
    EXPECT_EQ(Install(dir), L"");
    ExpectProductInstalled(dir);
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kAppPaths) + L"\\Another"));
}

namespace {

// The App Paths key made anew as a volatile key for the length of a scope, so
// that no lasting key can be made below it: how Wine stands in for a key that
// a policy, a security product or a full registry refuses on Windows. What it
// held is kept aside and put back.
class VolatileAppPaths {
  public:
    VolatileAppPaths() {
        using CopyTree = LSTATUS(WINAPI*)(HKEY, LPCWSTR, HKEY);
        copy_ = reinterpret_cast<CopyTree>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegCopyTreeW")));
        DeleteRegTree(HKEY_LOCAL_MACHINE, kSaved);
        HKEY saved = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSaved, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &saved, nullptr);
        const UniqueHKey owned(saved);
        copied_ = copy_ && copy_(HKEY_LOCAL_MACHINE, kParent, saved) == ERROR_SUCCESS;
        DeleteRegTree(HKEY_LOCAL_MACHINE, kParent);
        HKEY key = nullptr;
        made_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kParent, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~VolatileAppPaths() {
        DeleteRegTree(HKEY_LOCAL_MACHINE, kParent);
        HKEY restored = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kParent, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &restored, nullptr);
        const UniqueHKey owned(restored);
        if (copied_)
            copy_(HKEY_LOCAL_MACHINE, kSaved, restored);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kSaved);
    }
    bool Made() const { return made_ && copied_; }

  private:
    static constexpr const wchar_t* kParent = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    static constexpr const wchar_t* kSaved = L"SOFTWARE\\ZarvoSavedAppPaths";
    LSTATUS(WINAPI* copy_)(HKEY, LPCWSTR, HKEY) = nullptr;
    bool copied_ = false, made_ = false;
};

}  // namespace

// A registry key that cannot be made fails the installation, which the log
// says with the system's code, and leaves nothing of it behind.
TEST_F(PlanExecutionTest, RegistryKeyThatCannotBeMadeFailsTheInstallation) {
    const VolatileAppPaths refused;
    ASSERT_TRUE(refused.Made());
    BoxesToLog();
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    EXPECT_EQ(Install(dir).rfind(L"Failed to create key '" + std::wstring(kAppPaths) + L"'. ", 0), 0u);
    EXPECT_NE(Boxes().find(L"写入注册表值：HKLM\\" + std::wstring(kAppPaths) + L"\\："), std::wstring::npos);
    EXPECT_NE(Boxes().find(L"（错误代码 1021）"), std::wstring::npos) << "a child key must be volatile";
    EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe"));
    EXPECT_FALSE(Exists(DesktopLink()));
    ExpectNothingRegistered();
}
