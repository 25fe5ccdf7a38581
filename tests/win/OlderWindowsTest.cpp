#include "system/DynamicApi.h"
#include "system/FolderSecurity.h"
#include "system/LibrarySearch.h"
#include "system/RunningCopies.h"
#include "tests/win/InstallFixture.h"

#include <optional>

// The installer's code as each older Windows runs it: Wine exports every
// function whatever version it tells, so the roads taken where one is missing
// run only with the list withholding it.

namespace {

struct Road {
    const Late::OlderWindows* windows;
    const char* name;
    bool clearsDllDirectory;  // the current directory leaves the search path
    bool restartManager;      // a held file's holders can be asked for
    bool powerUsers;          // who may change installed programs there
};

constexpr Road kRoads[] = {
    {&Late::kWindows2000, "Windows2000", false, false, true},
    {&Late::kWindowsXP, "WindowsXP", true, false, true},
    {&Late::kWindowsVista, "WindowsVista", true, true, false},
};

class OlderWindowsTest : public InstallTest, public testing::WithParamInterface<Road> {};

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH];
    return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}

}  // namespace

TEST_P(OlderWindowsTest, EveryRoadOfTheVersionRuns) {
    const Road& road = GetParam();
    std::optional<Late::AsWindows> as(std::in_place, *road.windows);
    EXPECT_EQ(Late::WindowsVersion(), road.windows->version);
    EXPECT_EQ(Late::SetDefaultDllDirectories(), nullptr);
    EXPECT_EQ(Late::GetDpiForWindow(), nullptr);
    EXPECT_EQ(Late::DwmExtendFrameIntoClientArea() != nullptr, road.windows == &Late::kWindowsVista);
    EXPECT_EQ(Late::RmStartSession() != nullptr, road.restartManager);

    // Without the default directories, the system's libraries are loaded by
    // their full path before anything asks for them by name.
    ASSERT_TRUE(SetDllDirectoryW(kTestRoot));
    HardenLibrarySearch();
    wchar_t searched[MAX_PATH] = {};
    EXPECT_EQ(GetDllDirectoryW(MAX_PATH, searched) == 0, road.clearsDllDirectory) << searched;
    SetDllDirectoryW(nullptr);
    for (const wchar_t* library : PreloadedLibraries)
        EXPECT_TRUE(!Exists(SystemFolder() + L"\\" + library) || GetModuleHandleW(library)) << library;

    // The folder check trusts the Power Users only where they may change
    // installed programs. (Wine keeps no access list but the folder's mode,
    // so the descriptor is judged as the check reads it.)
    PSECURITY_DESCRIPTOR theirs = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:(A;OICI;FA;;;PU)", SDDL_REVISION_1,
                                                                     &theirs, nullptr));
    const UniqueLocalMemory owned(theirs);
    EXPECT_EQ(JudgeDescriptor(theirs, FolderPlace::Install, InstallerTrust()) == FolderRisk::None, road.powerUsers);

    // The image of a running copy: Windows 2000 tells it only through psapi,
    // the others from what the system recorded.
    BoxesToLog();
    const std::wstring dir = std::wstring(kTestRoot) + L"\\Zarvo";
    ASSERT_EQ(Install(dir), L"");
    // That was the wizard, walked page by page in its window as this Windows
    // draws it: no glass, and the system's dpi for every monitor.
    EXPECT_EQ(Window().ActivePage(), OverTabSheet);
    ASSERT_TRUE(DeleteFileW((dir + L"\\Zarvo.exe").c_str()));
    RunningProgram browser = StartTestBrowser(dir + L"\\Zarvo.exe", L"obey");
    as.emplace(*road.windows, std::initializer_list<const char*>{"GetModuleFileNameExW"});
    EXPECT_EQ(FindRunningCopies(dir).size(), road.windows == &Late::kWindows2000 ? 0u : 1u);
    as.emplace(*road.windows);

    // The upgrade: the running copy is asked to close first; a file that
    // another program holds stops it, its holders named only where the
    // system can tell them.
    ASSERT_EQ(Install(dir), L"");
    EXPECT_FALSE(browser.Running());
    EXPECT_NE(Boxes().find(L"已关闭程序：Zarvo.exe（进程 "), std::wstring::npos) << Boxes();
    {
        const UniqueHandle holder(
            CreateFileW((dir + L"\\ZarvLibrary.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        const std::wstring error = Install(dir);
        EXPECT_EQ(error.rfind(L"Cannot create file \"" + dir + L"\\ZarvLibrary.dll\". Sharing violation", 0), 0u)
            << error;
        if (!road.restartManager) {
            EXPECT_EQ(error.find(L"In use by"), std::wstring::npos) << error;
        }
    }
    ExpectFilesInstalled(dir);

    EXPECT_EQ(Remove(), L"");
    EXPECT_FALSE(Exists(dir + L"\\Zarvo.exe"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
}

INSTANTIATE_TEST_SUITE_P(Versions,
                         OlderWindowsTest,
                         testing::ValuesIn(kRoads),
                         [](const testing::TestParamInfo<Road>& info) { return std::string(info.param.name); });
