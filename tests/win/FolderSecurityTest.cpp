#include "system/Elevation.h"
#include "system/FolderSecurity.h"
#include "tests/win/InstallFixture.h"

#include <aclapi.h>

namespace {

const wchar_t kInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

FolderRisk Judge(const std::wstring& sddl, FolderPlace place, const FolderTrust& trust = {}) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        << sddl;
    const UniqueLocalMemory owned(descriptor);
    return JudgeDescriptor(descriptor, place, trust);
}

}  // namespace

// The defaults of Windows and a folder that the installer made pass; what an
// account other than the administrators owns, may change, or may take away
// from below does not.
TEST(FolderSecurity, DescriptorsAreJudgedByWhoElseMayChangeThem) {
    const std::wstring ti = kInstaller;
    struct Case {
        std::wstring sddl;
        FolderPlace place;
        FolderRisk risk;
    };
    const Case cases[] = {
        // Made by the installer.
        {L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", FolderPlace::Install, FolderRisk::None},
        // Program Files of Windows 7, and a folder that inherits from it.
        {L"O:" + ti + L"D:PAI(A;;FA;;;" + ti + L")(A;CIIO;GA;;;" + ti +
             L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)"
             L"(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)",
         FolderPlace::Above, FolderRisk::None},
        {L"O:BAD:AI(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;0x1200a9;;;BU)"
         L"(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)",
         FolderPlace::Install, FolderRisk::None},

        // The root of a drive: authenticated users add folders, and what they
        // make below is theirs to change.
        {L"O:" + ti +
             L"D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x4;;;AU)",
         FolderPlace::Root, FolderRisk::None},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;AU)", FolderPlace::Root, FolderRisk::None},
        // A folder made there by inheritance alone.
        {L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)",
         FolderPlace::Install, FolderRisk::OthersMayChange},
        {L"O:S-1-5-21-1-2-3-1001D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", FolderPlace::Install, FolderRisk::ForeignOwner},
        {L"O:S-1-5-21-1-2-3-1001D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", FolderPlace::Above,
         FolderRisk::OthersMayReplace},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301ff;;;WD)", FolderPlace::Install, FolderRisk::OthersMayChange},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;;WD;;;S-1-5-21-1-2-3-1001)", FolderPlace::Install, FolderRisk::OthersMayChange},
        // Handed on to the files made inside, which is what matters.
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICIIO;0x1301bf;;;BU)", FolderPlace::Install, FolderRisk::OthersMayChange},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICIIO;0x1301bf;;;BU)", FolderPlace::Above, FolderRisk::None},
        // Deleting what lies inside a folder above replaces the install folder.
        {L"O:BAD:(A;OICI;FA;;;BA)(A;;0x40;;;AU)", FolderPlace::Above, FolderRisk::OthersMayReplace},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;;0x40;;;AU)", FolderPlace::Root, FolderRisk::OthersMayReplace},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;;0x2;;;AU)", FolderPlace::Above, FolderRisk::None},
        {L"O:BAD:(A;OICI;FA;;;BA)(A;;0x2;;;AU)", FolderPlace::Link, FolderRisk::OthersMayChange},
        // Changing its attributes is enough to turn an empty folder into a link.
        {L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x100;;;BU)", FolderPlace::Install, FolderRisk::OthersMayChange},
        {L"O:BA", FolderPlace::Install, FolderRisk::OthersMayChange},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Judge(c.sddl, c.place), c.risk) << c.sddl;

    // Program Files of Windows XP, where Power Users may change programs: on
    // Windows 2000 and XP they are trusted, from Vista on ordinary users.
    const wchar_t xp[] =
        L"O:BAD:(A;OICI;0x1301bf;;;PU)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)";
    EXPECT_EQ(Judge(xp, FolderPlace::Above, {L"", true}), FolderRisk::None);
    EXPECT_EQ(Judge(xp, FolderPlace::Above), FolderRisk::OthersMayReplace);
    EXPECT_EQ(Judge(L"O:PUD:(A;OICI;FA;;;BA)", FolderPlace::Install), FolderRisk::ForeignOwner);
}

// The installer's own account is the administrator only where its token is
// not split: under user account control its programs that run without
// elevation share that account. Wine links a second token to every process,
// but with the administrators' group enabled in both, as no split token has it.
TEST(FolderSecurity, OwnAccountIsTrustedOnlyWhereTheTokenIsNotSplit) {
    const wchar_t own[] = L"O:S-1-5-21-1-2-3-1001D:(A;OICI;FA;;;S-1-5-21-1-2-3-1001)";
    EXPECT_EQ(Judge(own, FolderPlace::Install, {L"S-1-5-21-1-2-3-1001"}), FolderRisk::None);
    EXPECT_EQ(Judge(own, FolderPlace::Install), FolderRisk::ForeignOwner);

    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token));
    const UniqueHandle owned(token);
    EXPECT_FALSE(AdministratorsDenyOnly(token));
    // What user account control gives the same user's unelevated programs.
    PSID administrators = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-32-544", &administrators));
    const UniqueLocalMemory ownedSid(administrators);
    SID_AND_ATTRIBUTES denyOnly{administrators, 0};
    HANDLE filtered = nullptr;
    ASSERT_TRUE(CreateRestrictedToken(token, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &filtered));
    const UniqueHandle ownedFiltered(filtered);
    EXPECT_TRUE(AdministratorsDenyOnly(filtered));
    EXPECT_FALSE(SplitToken(GetCurrentProcess()));
    EXPECT_EQ(InstallerTrust().self, ProcessTokenFacts(GetCurrentProcess())->user);
}

// The kept installer's folder that another account could change, or a link
// in its place, is refused by an installation and a removal alike, and
// nothing changes, there or where the link leads.
TEST_F(InstallTest, KeptInstallersFolderThatOthersCouldChangeIsRefused) {
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo", elsewhere = std::wstring(kTestRoot) + L"\\Elsewhere";
    const std::wstring refusal = L"文件夹“" + KeptFolder() + L"”允许其他账户更改其中的安装程序，未做任何更改。";
    ASSERT_TRUE(MakeFolders(elsewhere));
    ASSERT_TRUE(CreateDirectoryW(KeptFolder().c_str(), nullptr) && OpenToEveryone(KeptFolder()));
    EXPECT_EQ(Install(dir), refusal);
    EXPECT_FALSE(Exists(dir));
    ExpectNothingRegistered();
    ASSERT_TRUE(RemoveDirectoryW(KeptFolder().c_str()));
    {
        // Missing, in a Program Files that every account may change.
        std::wstring programFiles = KeptFolder();
        programFiles.resize(programFiles.rfind(L'\\'));
        PACL list = nullptr;
        PSECURITY_DESCRIPTOR saved = nullptr;
        ASSERT_EQ(GetNamedSecurityInfoW(programFiles.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, &list, nullptr, &saved),
                  ERROR_SUCCESS);
        const UniqueLocalMemory owned(saved);
        ASSERT_TRUE(OpenToEveryone(programFiles));
        EXPECT_EQ(Install(dir), refusal);
        EXPECT_FALSE(Exists(KeptFolder()));
        EXPECT_FALSE(Exists(dir));
        ASSERT_EQ(SetNamedSecurityInfoW(programFiles.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, list, nullptr),
                  ERROR_SUCCESS);
    }
    {
        const SymbolicLink link(KeptFolder(), elsewhere);
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(Install(dir), refusal);
        EXPECT_FALSE(Exists(dir));
        EXPECT_FALSE(Exists(elsewhere + L"\\ZarvoSetup.exe"));
    }
    ASSERT_EQ(Install(dir), L"");
    const ProductState installed = CurrentProduct(dir);
    ASSERT_TRUE(OpenToEveryone(KeptFolder()));
    EXPECT_EQ(Remove(), refusal);
    EXPECT_TRUE(CurrentProduct(dir) == installed);
}

// What the installer makes, only administrators may change; what another
// account could change is refused, and nothing is made.
TEST_F(InstallTest, InstallFolderIsTheAdministratorsOnly) {
    const std::wstring made = std::wstring(kTestRoot) + L"\\New";
    ASSERT_EQ(Install(made + L"\\Zarvo"), L"");
    for (const std::wstring& folder : {made, made + L"\\Zarvo"})
        EXPECT_EQ(AccessList(folder).find(L";WD)"), std::wstring::npos) << folder << " " << AccessList(folder);
    ASSERT_EQ(Install(made + L"\\Zarvo"), L"") << "a folder made by the installer passes on a later run";

    BoxesToLog();
    const std::wstring open = std::wstring(kTestRoot) + L"\\Open";
    ASSERT_TRUE(CreateDirectoryW(open.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((open + L"\\Zarvo").c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(open + L"\\Zarvo"));
    const SymbolicLink link(std::wstring(kTestRoot) + L"\\Link", open + L"\\Zarvo");
    ASSERT_TRUE(link.Made());
    struct Case {
        std::wstring dir, why;
    };
    const Case cases[] = {
        {open + L"\\Zarvo", L"安装目录“" + open + L"\\Zarvo”允许其他账户写入或删除其中的文件。"},
        {std::wstring(kTestRoot) + L"\\Link", L"允许其他账户写入或删除其中的文件。"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Install(c.dir), L"");
        EXPECT_EQ(Window().ActivePage(), DirTabSheet) << c.dir;
        EXPECT_FALSE(Exists(open + L"\\Zarvo\\Data")) << c.dir;
        EXPECT_NE(Boxes().find(c.why), std::wstring::npos) << Boxes();
    }
    // A folder above that lets others take what is inside, on the way or
    // where a link leads.
    ASSERT_TRUE(RemoveDirectoryW((open + L"\\Zarvo").c_str()));
    ASSERT_TRUE(CreateDirectoryW((open + L"\\Target").c_str(), nullptr));
    ASSERT_TRUE(OpenToEveryone(open));
    const SymbolicLink toTarget(std::wstring(kTestRoot) + L"\\ToTarget", open + L"\\Target");
    ASSERT_TRUE(toTarget.Made());
    for (const std::wstring& dir : {open + L"\\Zarvo", std::wstring(kTestRoot) + L"\\ToTarget"}) {
        EXPECT_EQ(Install(dir), L"");
        EXPECT_EQ(Window().ActivePage(), DirTabSheet) << dir;
        EXPECT_FALSE(Exists(open + L"\\Zarvo")) << dir;
        EXPECT_FALSE(Exists(open + L"\\Target\\Data")) << dir;
    }
    const std::wstring why = L"文件夹“" + open + L"”允许其他账户重命名或替换其中的安装目录。";
    const std::wstring boxes = Boxes();
    EXPECT_NE(boxes.find(why), std::wstring::npos) << boxes;
    EXPECT_NE(boxes.find(why, boxes.find(why) + 1), std::wstring::npos) << "both times: " << boxes;

    // A folder that another program holds to itself cannot be judged, and
    // the box says so.
    const std::wstring held = std::wstring(kTestRoot) + L"\\Held";
    ASSERT_TRUE(CreateDirectoryW(held.c_str(), nullptr));
    {
        const UniqueHandle holder(
            CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(Install(held), L"");
    }
    EXPECT_NE(Boxes().find(L"安装目录“" + held + L"”正被其他程序独占使用。"), std::wstring::npos) << Boxes();
}
