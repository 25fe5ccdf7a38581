#include "system/HeldFolder.h"

#include <gtest/gtest.h>

#include <string>

// The names under which the system knows what a handle opened, as paths: a
// drive's folder in the system's own form or under its device's name, a
// share in either of its two forms, and nothing for any other name.
TEST(HeldFolder, SystemNamesBecomePaths) {
    wchar_t device[MAX_PATH] = {};
    ASSERT_NE(QueryDosDeviceW(L"C:", device, MAX_PATH), 0u);
    const std::wstring drive = device;
    const struct {
        std::wstring name;
        const wchar_t* path;
    } cases[] = {
        {L"\\??\\C:\\Apps\\Zarvo", L"C:\\Apps\\Zarvo"},
        {L"\\??\\UNC\\server\\share\\Zarvo", L"\\\\server\\share\\Zarvo"},
        {L"\\Device\\Mup\\server\\share", L"\\\\server\\share"},
        {drive + L"\\Apps", L"C:\\Apps"},
        {drive, L"C:"},
        // A device whose name only begins with the drive's.
        {drive + L"9\\Apps", L""},
        {L"\\Device\\NoSuchDevice\\Apps", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DosPath(c.name), c.path) << c.name;
}
