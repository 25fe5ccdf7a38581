#include "install/PathRules.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

TEST(PathRules, TrailingBackslashAndParentPart) {
    struct Case {
        const wchar_t* path;
        const wchar_t* withoutBackslash;
        const wchar_t* parent;
    };
    const Case cases[] = {
        {L"C:\\Temp\\", L"C:\\Temp", L"C:\\Temp\\"},
        {L"C:\\Temp", L"C:\\Temp", L"C:\\"},
        {L"C:\\Temp\\\\", L"C:\\Temp\\", L"C:\\Temp\\\\"},
        {L"C:", L"C:", L"C:"},
        {L"Zarvo", L"Zarvo", L""},
        {L"", L"", L""},
        {L"\\\\server\\share\\dir", L"\\\\server\\share\\dir", L"\\\\server\\share\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithoutTrailingBackslash(c.path), c.withoutBackslash) << c.path;
        EXPECT_EQ(ParentPart(c.path), c.parent) << c.path;
    }
}

// A file system of directory names only, recording what gets created.
struct FakeDirectories {
    std::set<std::wstring> existing;
    std::vector<std::wstring> created;
    std::wstring failing;

    bool Force(const std::wstring& path) {
        return ForceDirectories(
            path, [this](const std::wstring& dir) { return existing.count(dir) > 0; },
            [this](const std::wstring& dir) {
                if (dir == failing)
                    return false;
                created.push_back(dir);
                existing.insert(dir);
                return true;
            });
    }
};

TEST(PathRules, ForceDirectoriesCreatesMissingLevelsOuterFirst) {
    FakeDirectories fs;
    fs.existing = {L"D:\\Apps"};
    EXPECT_TRUE(fs.Force(L"D:\\Apps\\Zarvo\\Lang"));
    EXPECT_EQ(fs.created, (std::vector<std::wstring>{L"D:\\Apps\\Zarvo", L"D:\\Apps\\Zarvo\\Lang"}));

    fs.created.clear();
    EXPECT_TRUE(fs.Force(L"D:\\Apps\\Zarvo\\"));
    EXPECT_TRUE(fs.created.empty()) << "an existing directory is not created again";
}

TEST(PathRules, ForceDirectoriesTreatsRootsAsExisting) {
    for (const wchar_t* root : {L"D:\\", L"D:", L"\\", L"AB"}) {
        FakeDirectories fs;
        EXPECT_TRUE(fs.Force(root)) << root;
        EXPECT_TRUE(fs.created.empty()) << root;
    }
    // The rooted path below the current drive's root is created below it.
    FakeDirectories fs;
    EXPECT_TRUE(fs.Force(L"\\Zarvo"));
    EXPECT_EQ(fs.created, std::vector<std::wstring>{L"\\Zarvo"});
}

TEST(PathRules, ForceDirectoriesStopsAtTheFirstFailure) {
    FakeDirectories fs;
    fs.failing = L"E:\\Locked";
    EXPECT_FALSE(fs.Force(L"E:\\Locked\\Zarvo\\Data"));
    EXPECT_TRUE(fs.created.empty()) << "nothing below a failed parent is attempted";
}

TEST(PathRules, ForceDirectoriesRejectsEmptyAndRelativePaths) {
    FakeDirectories fs;
    for (const wchar_t* path : {L"", L"Zarvo", L"Apps\\Zarvo"}) {
        try {
            fs.Force(path);
            ADD_FAILURE() << "no error for '" << std::string(path, path + wcslen(path)) << "'";
        } catch (const Error& error) {
            EXPECT_EQ(error.Message(), L"Unable to create directory");
        }
    }
}

TEST(PathRules, PickedFolderGetsTheProductFolderBelowIt) {
    struct Case {
        const wchar_t* picked;
        const wchar_t* installDir;
    };
    const Case cases[] = {
        {L"D:\\", L"D:\\Zarvo"},
        {L"C:\\Apps", L"C:\\Apps\\Zarvo"},
        {L"C:\\Apps\\Zarvo", L"C:\\Apps\\Zarvo\\Zarvo"},
        {L"\\\\server\\share", L"\\\\server\\share\\Zarvo"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstallDirBelow(c.picked), c.installDir);
}

TEST(PathRules, TypedInstallDirMustBeAnAbsolutePathOfUsableNames) {
    struct Case {
        std::wstring text;
        bool wellFormed;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Zarvo", true},
        {L"d:\\泽沃 浏览器\\Zarvo", true},
        {L"C:\\Zarvo\\", true},
        {L"C:\\Apps\\\\Zarvo", true},
        {L"C:\\.hidden\\Zarvo", true},
        {L"\\\\server\\share\\Zarvo", true},
        {L"", false},
        {L"Zarvo", false},
        {L"\\Zarvo", false},
        {L"C:Zarvo", false},
        {L"C:", false},
        {L"1:\\Zarvo", false},
        {L"C:/Zarvo", false},
        {L"C:\\Zarvo ", false},
        {L"C:\\Zarvo.", false},
        {L"C:\\Apps.\\Zarvo", false},
        {L"C:\\Apps \\Zarvo", false},
        {L"C:\\Apps\\..\\Zarvo", false},
        {L"C:\\Za:rvo", false},
        {L"C:\\Za*rvo", false},
        {L"C:\\Za\"rvo", false},
        {L"C:\\Za\trvo", false},
        {L"\\\\server", false},
        {L"\\\\server\\", false},
        {L"\\\\\\share\\Zarvo", false},
        {L"\\\\?\\C:\\Zarvo", false},
        {L"\\\\.\\C:\\Zarvo", false},
        // Roots of a drive or share.
        {L"C:\\", false},
        {L"C:\\\\", false},
        {L"\\\\server\\share", false},
        {L"\\\\server\\share\\", false},
        // Device names, in any case, with or without an extension.
        {L"C:\\nul", false},
        {L"C:\\Zarvo\\nul", false},
        {L"C:\\Zarvo2\\nul.txt", false},
        {L"C:\\CON\\Zarvo", false},
        {L"C:\\Zarvo\\Com9", false},
        {L"C:\\Zarvo\\lpt1.log", false},
        {L"C:\\Zarvo\\aux .ini", false},
        {L"C:\\Zarvo\\COM\u00b9", false},
        {L"\\\\server\\prn", false},
        {L"C:\\Zarvo\\nully", true},
        {L"C:\\Zarvo\\COM10", true},
        {L"C:\\Zarvo\\LPT0", true},
        {L"C:\\Zarvo\\my.con", true},
        // The deepest file, \\Data\\ZarvConfig.ini, within 259 characters.
        {L"C:\\" + std::wstring(236, L'z'), true},
        {L"C:\\" + std::wstring(237, L'z'), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WellFormedInstallDir(c.text), c.wellFormed) << testing::PrintToString(c.text);
}
