#include "app/UpgradeFolder.h"

#include <gtest/gtest.h>

TEST(UpgradeFolder, RegistryTextsGiveOnlyFoldersThatPassTheFolderRules) {
    struct Case {
        std::wstring text;
        bool namesFile;
        std::wstring folder;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Zarvo", false, L"C:\\Program Files\\Zarvo"},
        {L" \"C:\\Program Files\\Zarvo\\\" ", false, L"C:\\Program Files\\Zarvo"},
        {L"D:\\Apps\\Zarvo\\\\", false, L"D:\\Apps\\Zarvo"},
        {L"C:\\Program Files\\Zarvo\\Zarvo.exe", true, L"C:\\Program Files\\Zarvo"},
        {L"\"C:\\Program Files\\Zarvo\\Zarvo.exe\",0", true, L"C:\\Program Files\\Zarvo"},
        {L"C:\\Zarvo, Beta\\Zarvo.exe,-1", true, L"C:\\Zarvo, Beta"},
        {L"\\\\server\\share\\Zarvo\\Zarvo.exe", true, L"\\\\server\\share\\Zarvo"},
        // Folder texts that the directory check refuses.
        {L"", false, L""},
        {L"\"\"", false, L""},
        {L"C:\\", false, L""},
        {L"C:\\Zarvo.exe", true, L""},
        {L"Zarvo.exe", true, L""},
        {L"%ProgramFiles%\\Zarvo", false, L""},
        {L"C:\\Zar\"vo\\Zarvo.exe", true, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegisteredFolder(c.text, c.namesFile), c.folder) << testing::PrintToString(c.text);
}
