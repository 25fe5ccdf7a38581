#include "system/Reg.h"
#include "system/RunningCopies.h"
#include "tests/win/InstallFixture.h"

namespace {

const wchar_t kPendingKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// An older release installed, as an upgrade finds it; whatever goes wrong
// with the upgrade, everything is then as it was.
class UpgradeTest : public InstallTest {
  protected:
    void TearDown() override {
        InstallTest::TearDown();
        // Renames arranged for a restart would be carried out when Wine next
        // starts the prefix.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"PendingFileRenameOperations");
            RegCloseKey(key);
        }
    }

    void InstallOlder(const std::wstring& dir) {
        ASSERT_EQ(Install(dir), L"");
        MakeOlderRelease(dir);
        older_ = CurrentProduct(dir);
    }

    void ExpectOlderRelease(const std::wstring& dir) {
        EXPECT_TRUE(CurrentProduct(dir) == older_) << "the older release, its shortcuts and registry values";
        EXPECT_TRUE(RunNamesLeft(dir).empty());
        EXPECT_TRUE(ScratchFolders().empty());
    }

    // Fills the small memory disk mapped as E: (where the sandbox lets the
    // test run mount one) up to `room` bytes; false without such a disk.
    static bool FillDisk(unsigned long long room) {
        ULARGE_INTEGER available{}, total{};
        if (!GetDiskFreeSpaceExW(L"E:\\", &available, &total, nullptr) || total.QuadPart > 16u * 1024 * 1024)
            return false;
        if (available.QuadPart > room)
            WriteBytes(kFiller, std::string(static_cast<std::size_t>(available.QuadPart - room), 'x'));
        return true;
    }

    static constexpr const wchar_t* kFiller = L"E:\\filler.bin";
    ProductState older_;
};

}  // namespace

// A destination that another program holds without sharing cannot be
// replaced: the upgrade stops at once, and nothing has changed.
TEST_F(UpgradeTest, FileHeldWithoutSharingStopsItBeforeAnythingChangesAndOneSharedDoesNot) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    InstallOlder(dir);
    for (const wchar_t* held : {L"\\Data\\ZarvConfig.ini", L"\\ZarvLibrary.dll", L"\\Lang\\0x0409.ini"}) {
        UniqueHandle holder(CreateFileW((dir + held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        const std::wstring error = Install(dir);
        EXPECT_EQ(error.rfind(L"Cannot create file \"" + dir + held + L"\". Sharing violation", 0), 0u) << error;
        EXPECT_EQ(Progress(), 0) << held;
        holder.reset();
        ExpectOlderRelease(dir);
    }
    // A reader that shares everything (a virus scanner, an indexer) keeps the
    // old file it reads, and the new one takes the name.
    const UniqueHandle reader(CreateFileW((dir + L"\\ZarvResources.dll").c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_EQ(Install(dir), L"");
    ExpectFilesInstalled(dir);
}

// Past the point where the new files have their names, a failure still puts
// back the older release's files and shortcuts.
TEST_F(UpgradeTest, FailureAtTheShortcutsPutsTheOlderReleaseBack) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    InstallOlder(dir);
    RemoveTree(ProgramGroup());
    WriteBytes(ProgramGroup(), "a file, not a folder");
    older_ = CurrentProduct(dir);
    EXPECT_EQ(Install(dir), L"I/O error 183");
    DeleteFileW(ProgramGroup().c_str());
    ExpectOlderRelease(dir);
}

// A program of the product that the installation does not end (the crash
// reporter) maps its file: the new one takes the name, and the old one goes
// at the next restart, or with the next installation that can open it; until
// then the run's marker stays, and no run puts the old file back.
TEST_F(UpgradeTest, FileOfARunningProgramIsReplacedAndGoesLater) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    InstallOlder(dir);
    ASSERT_TRUE(CopyFileW((std::wstring(ZARVO_STANDIN_DIR) + L"\\BugReport.exe").c_str(),
                          (dir + L"\\BugReport.exe").c_str(), FALSE));
    std::vector<std::wstring> left;
    {
        RunningProgram reporter(dir + L"\\BugReport.exe");
        ASSERT_TRUE(reporter.Running());
        ASSERT_EQ(Install(dir), L"");
        ExpectFilesInstalled(dir);
        EXPECT_TRUE(reporter.Running());
        left = RunNamesLeft(dir);
        ASSERT_EQ(left.size(), 2u) << "the old file and the run's marker";
        EXPECT_NE(ReadRegValue(HKEY_LOCAL_MACHINE, kPendingKey, L"PendingFileRenameOperations").text.find(left[0]),
                  std::wstring::npos)
            << "set to go at the next restart";
    }
    {
        const UniqueHandle holder(CreateFileW(left[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        ASSERT_EQ(Install(dir), L"");
        EXPECT_EQ(RunNamesLeft(dir), left);
    }
    ASSERT_EQ(Install(dir), L"");
    ExpectFilesInstalled(dir);
    EXPECT_TRUE(RunNamesLeft(dir).empty());
}

// The room counts on the disk that the folder is on, also where a link on
// another disk leads there.
TEST_F(UpgradeTest, TooLittleRoomIsToldBeforeAnythingIsMade) {
    if (!FillDisk(96 * 1024))
        GTEST_SKIP() << "no small disk mapped as E:";
    BoxesToLog();
    ASSERT_TRUE(MakeFolders(kTestRoot));
    const std::wstring throughLink = std::wstring(kTestRoot) + L"\\Small\\Zarvo";
    const SymbolicLink toSmallDisk(std::wstring(kTestRoot) + L"\\Small", L"E:\\");
    ASSERT_TRUE(toSmallDisk.Made());
    for (const std::wstring& dir : {std::wstring(L"E:\\Zarvo"), throughLink}) {
        EXPECT_EQ(Install(dir), L"");
        EXPECT_EQ(Window().ActivePage(), DirTabSheet) << dir;
    }
    DeleteFileW(kFiller);
    EXPECT_FALSE(Exists(L"E:\\Zarvo"));
    const std::wstring boxes = Boxes();
    EXPECT_NE(boxes.find(L"磁盘空间不足：安装需要 "), std::wstring::npos) << boxes;
    for (const std::wstring& dir : {std::wstring(L"E:\\Zarvo"), throughLink})
        EXPECT_NE(boxes.find(L"“" + dir + L"”所在的磁盘只有 0.0 MB 可用。"), std::wstring::npos) << boxes;
}

TEST_F(UpgradeTest, DiskThatFillsWhileFilesAreWrittenLeavesTheOlderRelease) {
    if (!FillDisk(~0ull))
        GTEST_SKIP() << "no small disk mapped as E:";
    const std::wstring dir = L"E:\\Zarvo";
    InstallOlder(dir);
    // The check finds room; then another program takes it.
    atDrawing_ = [&] {
        if (!Exists(kFiller))
            FillDisk(4096);
    };
    EXPECT_EQ(Install(dir), L"Stream write error");
    DeleteFileW(kFiller);
    ExpectOlderRelease(dir);
    RemoveTree(dir);
}

// The browser that an upgrade closed is started again, as its user: from the
// files put back when the upgrade fails, from the new ones once it succeeds,
// and never by a removal.
TEST_F(UpgradeTest, ClosedBrowserStartsAgainOnlyWhereTheProductStays) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    const std::wstring browserFile = dir + L"\\Zarvo.exe";
    auto endCopies = [&] {
        for (const RunningCopy& copy : FindRunningCopies(dir)) {
            TerminateProcess(copy.process.get(), 1);
            WaitForSingleObject(copy.process.get(), kPatience);
        }
    };
    auto installStartingAgain = [&] {
        Open();
        form_->ChooseRestart(true);
        return Install(dir, false);
    };
    InstallOlder(dir);
    BoxesToLog();
    ASSERT_TRUE(DeleteFileW(browserFile.c_str()));
    RunningProgram browser = StartTestBrowser(browserFile, L"obey");
    const std::vector<unsigned char> older = ReadBytes(browserFile);
    {
        const UniqueHandle holder(
            CreateFileW((dir + L"\\ZarvLibrary.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_NE(installStartingAgain(), L"");
    }
    EXPECT_FALSE(browser.Running());
    EXPECT_TRUE(WaitUntil([&] { return FindRunningCopies(dir).size() == 1; })) << "the old browser, put back";
    EXPECT_EQ(ReadBytes(browserFile), older);

    ASSERT_EQ(installStartingAgain(), L"");
    EXPECT_TRUE(WaitUntil([&] { return FindRunningCopies(dir).size() == 1; })) << "the new browser";
    EXPECT_NE(ReadBytes(browserFile), older);
    EXPECT_NE(Boxes().find(L"已重新启动："), std::wstring::npos) << Boxes();

    endCopies();
    ASSERT_TRUE(DeleteFileW(browserFile.c_str()));
    RunningProgram removed = StartTestBrowser(browserFile, L"obey");
    const std::size_t logged = Boxes().size();
    ASSERT_EQ(Remove(), L"");
    EXPECT_FALSE(removed.Running());
    EXPECT_EQ(Boxes().find(L"已重新启动：", logged), std::wstring::npos) << Boxes();
    EXPECT_TRUE(FindRunningCopies(dir).empty());
    endCopies();
}
