#include "system/RunNames.h"

#include <gtest/gtest.h>

// A later run finishes or undoes what an earlier one left by these names
// alone, so a name is one of them only when it is exactly one of them.
TEST(RunNames, ANameIsTheRunsOnlyWhenItIsExactlyOne) {
    const std::wstring tag = RunTag(0x1a2b3c4dul);
    EXPECT_EQ(tag, L"1a2b3c4d");
    EXPECT_EQ(RunTag(0x5ul), L"00000005");
    struct Case {
        std::wstring name;
        RunNameKind kind;
        const wchar_t* original;
    };
    const Case cases[] = {
        {NewName(L"Zarvo.exe", tag), RunNameKind::New, L"Zarvo.exe"},
        {OldName(L"0x0804.ini", tag), RunNameKind::Old, L"0x0804.ini"},
        {OldName(L"泽沃浏览器.lnk", tag), RunNameKind::Old, L"泽沃浏览器.lnk"},
        {DoneName(tag), RunNameKind::Done, L""},
        {JournalName(tag), RunNameKind::Journal, L""},
        {L"zs-1a2b3c4d-journal.txt", RunNameKind::None, L""},
        {L"Zarvo.exe", RunNameKind::None, L""},
        {L".zs-1a2b3c4d-new", RunNameKind::None, L""},
        {L"Zarvo.exe.zs-1A2B3C4D-new", RunNameKind::None, L""},
        {L"Zarvo.exe.zs-1a2b3c4-new", RunNameKind::None, L""},
        {L"Zarvo.exe.zs-1a2b3c4d-new.txt", RunNameKind::None, L""},
        {L"Zarvo.exe.zs-1a2b3c4d-cut", RunNameKind::None, L""},
        {L"Zarvo.exe-zs-1a2b3c4d-old", RunNameKind::None, L""},
        {L"zs-1a2b3c4d-done.txt", RunNameKind::None, L""},
    };
    for (const Case& c : cases) {
        const RunName parsed = ParseRunName(c.name);
        EXPECT_EQ(parsed.kind, c.kind) << c.name;
        EXPECT_EQ(parsed.original, c.original) << c.name;
        if (c.kind != RunNameKind::None)
            EXPECT_EQ(parsed.tag, tag) << c.name;
    }
}
