#include "install/MachineOperations.h"
#include "system/FolderSecurity.h"
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
};

// Which action fails: by its number in the plan, or the first of a step.
struct Failure {
    std::size_t at = ~std::size_t(0);
    Step step = Step::Status;
    bool abrupt = false;  // nothing is undone either, as when the process is ended there
};

// The machine's operations, failing at one action as though it had failed;
// a folder that the directory check made is there already, and the failure
// comes at the action after it.
class FailingOperations final : public Operations {
  public:
    FailingOperations(Operations& inner, Failure failure) : inner_(inner), failure_(failure) {}
    void Do(const Action& action) override {
        const bool at = done_++ >= failure_.at || (failure_.step != Step::Status && action.step == failure_.step);
        if (at && action.step != Step::Made)
            throw Error(L"injected", ERROR_GEN_FAILURE);
        inner_.Do(action);
    }
    void Undo(const Action& action) override {
        if (!failure_.abrupt)
            inner_.Undo(action);
    }
    const AreaPaths& Folders() const override { return inner_.Folders(); }

  private:
    Operations& inner_;
    Failure failure_;
    std::size_t done_ = 0;
};

class PlanExecutionTest : public InstallTest {
  protected:
    // Installs into `dir` as the wizard would, but for the failure; returns
    // the number of actions planned up to the end, after which nothing fails.
    std::size_t InstallFailing(const std::wstring& dir, Failure failure, std::vector<MadeFolder> made = {}) {
        InstallRequest request;
        DWORD error = 0;
        request.dir = dir;
        request.folder = HeldFolder::Open(dir, error);
        request.made = std::move(made);
        request.tempDir = TempDirectory();
        request.link = InstallMain::ShellLinkInterface.get();
        request.persist = InstallMain::PersistInterface.get();
        MachineOperations operations(request, progress_, application_.Log(), RunTag(++runs_));
        const Plan plan = PlanInstallation(operations.Look());
        FailingOperations failing(operations, failure);
        try {
            Execute(plan, failing, application_.Log());
        } catch (const Error&) {
        }
        return std::find(plan.begin(), plan.end(), Action(Step::Finish)) - plan.begin() + 1;
    }

    QuietProgress progress_;
    unsigned long runs_ = 0;
};

// The folder made as the directory check makes it: by name below the
// folder above it, which is held, with the product's access list.
std::vector<MadeFolder> MakeInstallFolder(const std::wstring& parent, const std::wstring& name) {
    DWORD error = 0;
    MadeFolder made{HeldFolder::Open(parent, error), name};
    const UniqueLocalMemory security = ProductFolderSecurity();
    EXPECT_TRUE(made.first.CreateFolder(name, security.get(), error));
    std::vector<MadeFolder> folders;
    folders.push_back(std::move(made));
    return folders;
}

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
        actions = InstallFailing(dir, {failAt}, MakeInstallFolder(kTestRoot, L"Zarvo"));
        ASSERT_FALSE(Exists(dir)) << "fresh installation failing at action " << failAt;
        ASSERT_FALSE(Exists(DesktopLink())) << failAt;
        ASSERT_FALSE(Exists(ProgramGroup())) << failAt;
        ExpectNothingRegistered();
    }
}

// Ended abruptly once every value is written, before its marker: the next
// run puts back the older release's files and registry values, including
// those that the ended run changed, before it changes anything itself.
TEST_F(PlanExecutionTest, AbruptEndAfterTheRegistrationIsSettledRegistryIncluded) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    MakeOlderRelease(dir);
    RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, true, L"DisplayVersion", L"1.0.0.1");
    const ProductState older = CurrentProduct(dir);

    InstallFailing(dir, {~std::size_t(0), Step::Finish, true});
    ASSERT_EQ(ReadRegValue(HKEY_LOCAL_MACHINE, kUninstall, L"DisplayVersion").text,
              std::wstring(L"1.1.0.2669") + L'\0');
    ASSERT_FALSE(RunNamesLeft(dir).empty());

    // Settled, then stopped as soon as its own journal is written: what is
    // left is what the ended run found.
    InstallFailing(dir, {~std::size_t(0), Step::Hold});
    // A shortcut that the ended run wrote stays where it stands: the
    // shortcuts' folders are shared by installations into other folders.
    const ProductState now = CurrentProduct(dir);
    EXPECT_TRUE(now.files == older.files);
    EXPECT_TRUE(now.values == older.values) << "the registry as the ended run found it";
    EXPECT_EQ(std::count(now.shortcuts.begin(), now.shortcuts.end(), "none"), 0);
    EXPECT_TRUE(RunNamesLeft(dir).empty());
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
