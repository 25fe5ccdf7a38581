#include "install/PathRules.h"

#include <gtest/gtest.h>

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

// The folders that a removal takes from the entry as made above the install
// folder: those above it up to the recorded one, never a root, the folder
// itself, one below it or one elsewhere.
TEST(PathRules, FoldersBetweenTheInstallFolderAndTheOutermostMade) {
    using Folders = std::vector<std::wstring>;
    const std::wstring dir = L"C:\\A\\B\\Zarvo";
    EXPECT_EQ(FoldersBetween(dir, L"C:\\A"), (Folders{L"C:\\A\\B", L"C:\\A"}));
    EXPECT_EQ(FoldersBetween(dir, L"C:\\A\\B"), (Folders{L"C:\\A\\B"}));
    for (const wchar_t* outermost : {L"", L"C:\\", L"C:", L"C:\\A\\", L"C:\\A\\B\\Zarvo", L"C:\\A\\B\\Zarvo\\Data",
                                     L"C:\\Other", L"D:\\A", L"C:\\A\\B\\..\\B"})
        EXPECT_EQ(FoldersBetween(dir, outermost), Folders()) << outermost;
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
        {L"C:\\Za<rvo", false},
        {L"C:\\Za>rvo", false},
        {L"C:\\Za|rvo", false},
        {L"C:\\Za?rvo", false},
        {L"C:\\Apps/Zarvo", false},
        {L"\\\\server", false},
        {L"\\\\server\\", false},
        {L"\\\\\\share\\Zarvo", false},
        {L"\\\\server\\\\Zarvo", false},
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
        {L"C:\\Zarvo\\lpt\u00b3.txt", false},
        {L"C:\\Zarvo\\Com\u00b2", false},
        {L"C:\\Zarvo\\conin$", false},
        {L"C:\\Zarvo\\CONOUT$.log", false},
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
