#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t* line;
    bool unattended;
    const wchar_t* directory;  // null: none given
    const wchar_t* logFile;
};

const Case kCases[] = {
    {L"", false, nullptr, L""},
    {L"/S", true, nullptr, L""},
    {L"  /s\t", true, nullptr, L""},
    {L"/SILENT /S2 S /X=1", false, nullptr, L""},
    {L"/S /D=C:\\Program Files\\Zarvo", true, L"C:\\Program Files\\Zarvo", L""},
    {L"/S /d=C:\\Zarvo  \t", true, L"C:\\Zarvo", L""},
    {L"/S /D=", true, L"", L""},
    // /D= takes the rest of the line, other options and quotes too.
    {L"/D=C:\\Zarvo /S", false, L"C:\\Zarvo /S", L""},
    {L"/S /D=\"C:\\A B\"", true, L"\"C:\\A B\"", L""},
    // A whole option in quotes, as argument lists are written out.
    {L"/S \"/D=C:\\Program Files\\Zarvo\"", true, L"C:\\Program Files\\Zarvo", L""},
    {L"\"/S\" \"/LOG=C:\\My Logs\\zarvo.log\" /D=C:\\Zarvo", true, L"C:\\Zarvo", L"C:\\My Logs\\zarvo.log"},
    {L"/LOG=C:\\a.log /S /Log=C:\\b.log", true, nullptr, L"C:\\b.log"},
    {L"/LOG=C:\\My Logs\\zarvo.log /S", true, nullptr, L"C:\\My"},
    {L"\"/S /D=C:\\Zarvo", false, nullptr, L""},
};

}  // namespace

TEST(CommandLine, OptionsAsInstallersReadThem) {
    for (const Case& c : kCases) {
        const SetupOptions options = ParseCommandLine(c.line);
        const std::wstring line = c.line;
        EXPECT_EQ(options.unattended, c.unattended) << testing::PrintToString(line);
        EXPECT_EQ(options.directory.has_value(), c.directory != nullptr) << testing::PrintToString(line);
        if (c.directory && options.directory)
            EXPECT_EQ(*options.directory, c.directory) << testing::PrintToString(line);
        EXPECT_EQ(options.logFile, c.logFile) << testing::PrintToString(line);
    }
}
