#include "system/MessageText.h"

#include <gtest/gtest.h>

TEST(MessageText, FullStopFollowsOnlyCharactersAboveThePoint) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"Stream read error", L"Stream read error."},
        {L"Invalid data type for 'ProgramFilesDir'", L"Invalid data type for 'ProgramFilesDir'"},
        {L"Cannot create file \"C:\\a.txt\". Sharing violation",
         L"Cannot create file \"C:\\a.txt\". Sharing violation."},
        {L"Already ends.", L"Already ends."},
        {L"I/O error 183", L"I/O error 183."},
        {L"ends in a dash -", L"ends in a dash -"},
        {L"ends in a slash/", L"ends in a slash/."},
        {L"安装目录格式不正确", L"安装目录格式不正确."},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithFullStop(c.text), c.shown);
}

TEST(MessageText, IoErrorsHaveTheirFixedTexts) {
    struct Case {
        unsigned long code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {2, L"File not found"},
        {3, L"Path not found"},
        {4, L"Too many open files"},
        {5, L"File access denied"},
        {100, L"Read beyond end of file"},
        {101, L"Disk full"},
        {106, L"Invalid numeric input"},
        {183, L"I/O error 183"},
        {0, L"I/O error 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IoErrorMessage(c.code), c.text) << c.code;
}

TEST(MessageText, DecimalTextOfTheEdges) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(7), L"7");
    EXPECT_EQ(DecimalText(183), L"183");
    EXPECT_EQ(DecimalText(4294967295ul), L"4294967295");
}
