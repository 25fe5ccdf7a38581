#include "system/Reg.h"
#include "tests/win/InstallFixture.h"

namespace {

// The removal with its boxes in the log.
class RemovalTest : public InstallTest {
  protected:
    void SetUp() override {
        InstallTest::SetUp();
        BoxesToLog();
    }
};

}  // namespace

// Everything the installation made goes: its files, shortcuts, values, and
// its folders and keys where nothing is left in them. A file of the user's
// keeps its folder, a value of another's its key.
TEST_F(RemovalTest, RemovesWhatTheInstallationMadeAndKeepsTheUsersOwn) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    WriteBytes(dir + L"\\Data\\bookmarks.txt", "the user's own");
    RegWriteString(HKEY_LOCAL_MACHINE, kAppPaths, false, L"UseURL", L"1");
    EXPECT_EQ(Remove(), L"");
    EXPECT_EQ(form_->RunOutcome(), Outcome::Removed);
    for (const Product::File& file : Product::kFiles)
        EXPECT_FALSE(Exists(dir + file.folder + L"\\" + file.name)) << file.name;
    EXPECT_EQ(ReadText(dir + L"\\Data\\bookmarks.txt"), "the user's own");
    for (const wchar_t* folder : {L"\\Lang", L"\\Plugins", L"\\Skin", L"\\Temp"})
        EXPECT_FALSE(Exists(dir + folder)) << folder;
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(ProgramGroup()));
    EXPECT_FALSE(Exists(KeptFolder())) << "the kept installer and its folder";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"UseURL").exists);
    EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, kAppPaths, L"").exists);
    EXPECT_TRUE(RunNamesLeft(dir).empty());
    const std::wstring log = Boxes();
    EXPECT_NE(log.find(L"删除：" + dir + L"\\Zarvo.exe"), std::wstring::npos) << log;
    const std::size_t data = log.find(L"删除空文件夹：" + dir + L"\\Data（");
    EXPECT_EQ(log.find(L"\r\n", data) + 2, log.find(L"其中有本产品以外的内容，保留。", data)) << log;

    // Without them, the install folder and the keys go too; the folder above
    // stays, and so do another browser's registration and a user's own
    // choice of what opens links.
    DeleteFileW((dir + L"\\Data\\bookmarks.txt").c_str());
    DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPaths);
    const wchar_t other[] = L"SOFTWARE\\Clients\\StartMenuInternet\\Other";
    const wchar_t choice[] = L"Software\\Classes\\http\\shell\\open\\command";
    RegWriteString(HKEY_LOCAL_MACHINE, other, true, L"", L"Other");
    RegWriteString(HKEY_LOCAL_MACHINE, kRegisteredApps, true, L"Other", L"SOFTWARE\\Other\\Capabilities");
    RegWriteString(HKEY_CURRENT_USER, choice, true, L"", L"other.exe \"%1\"");
    ASSERT_EQ(Install(dir), L"");
    EXPECT_EQ(Remove(), L"");
    EXPECT_FALSE(Exists(dir));
    EXPECT_TRUE(Exists(kTestRoot));
    ExpectNothingRegistered();
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, other, false, L""), L"Other");
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kRegisteredApps, false, L"Other"), L"SOFTWARE\\Other\\Capabilities");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, choice, false, L""), L"other.exe \"%1\"");
    DeleteRegTree(HKEY_LOCAL_MACHINE, other);
    DeleteRegTree(HKEY_CURRENT_USER, L"Software\\Classes\\http");
    RegPutState(HKEY_LOCAL_MACHINE, kRegisteredApps, L"Other", false, REG_NONE, {});
}

// A recorded folder that is no well-formed folder, one reached through a link
// or that is one, one that another account could change, and another
// product's, without the browser, are refused: the removal fails and nothing
// is removed, there or where a link leads.
TEST_F(RemovalTest, RecordedFolderOutsideTheRulesIsRefusedWithNothingRemoved) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    const ProductState installed = CurrentProduct(dir);
    const std::wstring foreign = std::wstring(kTestRoot) + L"\\Other";
    ASSERT_TRUE(CreateDirectoryW(foreign.c_str(), nullptr) && CreateDirectoryW((foreign + L"\\Temp").c_str(), nullptr));
    WriteBytes(foreign + L"\\Uninstall.exe", "another product's");
    const SymbolicLink above(std::wstring(kTestRoot) + L"\\Above", L".");
    const SymbolicLink itself(std::wstring(kTestRoot) + L"\\Itself", L"Zarvo");
    ASSERT_TRUE(above.Made() && itself.Made());
    const std::wstring recorded[] = {L"Zarvo",
                                     L"C:\\Zar|vo",
                                     std::wstring(kTestRoot) + L"\\Above\\Zarvo",
                                     std::wstring(kTestRoot) + L"\\Itself",
                                     foreign,
                                     dir};
    for (const std::wstring& folder : recorded) {
        if (folder == dir) {
            ASSERT_TRUE(OpenToEveryone(dir));
        }
        RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, false, L"InstallLocation", folder.c_str());
        EXPECT_EQ(Remove(), L"") << testing::PrintToString(folder);
        EXPECT_EQ(form_->RunOutcome(), Outcome::RemovalFailed) << testing::PrintToString(folder);
        RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, false, L"InstallLocation", dir.c_str());
        EXPECT_TRUE(CurrentProduct(dir) == installed) << testing::PrintToString(folder);
    }
    EXPECT_EQ(ReadText(foreign + L"\\Uninstall.exe"), "another product's");
    EXPECT_TRUE(Exists(foreign + L"\\Temp"));
    EXPECT_EQ(Boxes().find(L"删除："), std::wstring::npos);
    EXPECT_NE(Boxes().find(L"“" + foreign + L"”中没有泽沃浏览器"), std::wstring::npos) << Boxes();
    // Told why, without the advice to choose another folder, which a removal cannot.
    EXPECT_NE(Boxes().find(L"允许其他账户写入"), std::wstring::npos) << Boxes();
    EXPECT_EQ(Boxes().find(L"选择其他文件夹"), std::wstring::npos) << Boxes();
}

// A copy whose folder was deleted by hand is removed all the same: its
// shortcuts and values go, the log says why no file did, and nothing else on
// the disk changes. A drive that is not there is no folder gone.
TEST_F(RemovalTest, FolderDeletedByHandLeavesTheShortcutsAndValuesToRemove) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Apps\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    RemoveTree(std::wstring(kTestRoot) + L"\\Apps");
    EXPECT_EQ(Remove(), L"");
    EXPECT_EQ(form_->RunOutcome(), Outcome::Removed);
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(ProgramGroup()));
    ExpectNothingRegistered();
    EXPECT_FALSE(Exists(std::wstring(kTestRoot) + L"\\Apps"));
    const std::wstring log = Boxes();
    EXPECT_NE(log.find(L"安装目录已不存在"), std::wstring::npos) << log;
    EXPECT_EQ(log.find(L"删除空文件夹：" + dir), std::wstring::npos) << log;

    ASSERT_EQ(Install(dir), L"");
    RegWriteString(HKEY_LOCAL_MACHINE, kUninstall, false, L"InstallLocation", L"Q:\\Zarvo");
    EXPECT_EQ(Remove(), L"");
    EXPECT_EQ(form_->RunOutcome(), Outcome::RemovalFailed);
    EXPECT_TRUE(Exists(DesktopLink()));
}

// A product file that is a link to a file elsewhere: an upgrade refuses it
// with the reason; a removal leaves its name, and what it leads to, and
// removes the rest. Once the link is gone, the next installation succeeds.
TEST_F(RemovalTest, ProductFileThatIsALinkIsLeftWithWhatItLeadsTo) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    const std::wstring outside = std::wstring(kTestRoot) + L"\\Outside.txt";
    ASSERT_EQ(Install(dir), L"");
    WriteBytes(outside, "not the product's");
    ASSERT_TRUE(DeleteFileW((dir + L"\\Lisense.txt").c_str()));
    {
        const SymbolicLink link(dir + L"\\Lisense.txt", outside);
        ASSERT_TRUE(link.Made());
        const std::wstring refusal = Install(dir);
        EXPECT_NE(refusal.find(dir + L"\\Lisense.txt"), std::wstring::npos) << refusal;
        EXPECT_EQ(Remove(), L"");
        EXPECT_EQ(form_->RunOutcome(), Outcome::Removed);
        EXPECT_EQ(ReadText(outside), "not the product's");
        EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe"));
        ExpectNothingRegistered();
        const std::wstring log = Boxes();
        const std::size_t removed = log.find(L"删除：" + dir + L"\\Lisense.txt");
        EXPECT_EQ(log.find(L"\r\n", removed) + 2, log.find(L"这是指向别处的链接", removed)) << log;
    }
    EXPECT_EQ(ReadText(outside), "not the product's");
    ASSERT_EQ(Install(dir), L"");
    EXPECT_TRUE(Exists(dir + L"\\Lisense.txt"));
}

// The folders that an installation made above its own are recorded, kept by
// an upgrade into the same folder, and removed by the removal, deepest first,
// where they are empty; one that holds something else stays.
TEST_F(RemovalTest, FoldersMadeAboveTheInstallFolderGoWhereEmpty) {
    const std::wstring above = std::wstring(kTestRoot) + L"\\泽沃 测试", dir = above + L"\\ü\\Zarvo";
    CreateDirectoryW(kTestRoot, nullptr);
    ASSERT_EQ(Install(dir), L"");
    ASSERT_EQ(Install(dir), L"");
    EXPECT_EQ(Remove(), L"");
    EXPECT_FALSE(Exists(above));
    EXPECT_TRUE(Exists(kTestRoot));
    ExpectNothingRegistered();
    const std::wstring log = Boxes();
    EXPECT_LT(log.find(L"删除空文件夹：" + above + L"\\ü（"), log.find(L"删除空文件夹：" + above + L"（")) << log;

    ASSERT_EQ(Install(dir), L"");
    WriteBytes(above + L"\\notes.txt", "the user's own");
    EXPECT_EQ(Remove(), L"");
    EXPECT_FALSE(Exists(above + L"\\ü"));
    EXPECT_EQ(ReadText(above + L"\\notes.txt"), "the user's own");
}

// The kept installer held without sharing by a program other than the
// package's action, which runs it, stops the removal before anything changes,
// as a product file held so does.
TEST_F(RemovalTest, KeptInstallerHeldElsewhereStopsItBeforeAnythingChanges) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    const ProductState installed = CurrentProduct(dir);
    UniqueHandle holder(
        CreateFileW(KeptInstaller().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    const std::wstring error = Remove();
    EXPECT_NE(error.find(L"Sharing violation"), std::wstring::npos) << error;
    holder.reset();
    EXPECT_TRUE(CurrentProduct(dir) == installed);
}
