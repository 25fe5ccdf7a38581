#include "system/Elevation.h"

#include <gtest/gtest.h>

TEST(DesktopUser, RightsAreThoseOfTheProcessThatOwnsTheWindow) {
    const std::optional<TokenFacts> own = ProcessTokenFacts(GetCurrentProcess());
    ASSERT_TRUE(own);
    EXPECT_EQ(own->user.rfind(L"S-1-5-21-", 0), 0u) << testing::PrintToString(own->user);
    // Wine gives every process a full administrator token, at the high level.
    EXPECT_EQ(own->level, 0x3000ul);
    // Wine's desktop window belongs to its explorer.exe, another process.
    const std::optional<TokenFacts> desktop = WindowOwnerFacts(GetDesktopWindow());
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->user, own->user);
    EXPECT_EQ(desktop->level, own->level);

    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    EXPECT_TRUE(WindowOwnerFacts(window));
    DestroyWindow(window);
    EXPECT_FALSE(WindowOwnerFacts(window)) << "a window that is gone has no rights to tell";
    EXPECT_FALSE(WindowOwnerFacts(nullptr));
}
