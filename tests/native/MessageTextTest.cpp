#include "app/MessageText.h"

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
