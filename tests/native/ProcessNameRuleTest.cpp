#include "system/ProcessNameRule.h"

#include <gtest/gtest.h>

TEST(ProcessNameRule, OnlyAsciiLettersFoldAndWholeNamesMatch) {
    struct Case {
        const wchar_t* running;
        bool matches;
    };
    const Case cases[] = {
        {L"Zarvo.exe", true},    {L"ZARVO.EXE", true}, {L"zarvo.exe", true}, {L"Zarvo.exe.old", false},
        {L"MyZarvo.exe", false}, {L"Zarvo.ex", false}, {L"", false},         {L"Zarvo\u0130.exe", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SameExecutableName(c.running, L"Zarvo.exe"), c.matches);
    // Letters beyond A to Z keep their case.
    EXPECT_FALSE(SameExecutableName(L"\u00C4.exe", L"\u00E4.exe"));
    EXPECT_TRUE(SameExecutableName(L"\u00C4.EXE", L"\u00C4.exe"));
}
