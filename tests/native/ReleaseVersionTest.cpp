#include "app/ReleaseVersion.h"

#include <gtest/gtest.h>

// Four numbers of 16 bits, compared as numbers; anything else is no release's.
TEST(ReleaseVersion, FourNumbersComparedAsNumbers) {
    EXPECT_EQ(ParseReleaseVersion(L"1.1.0.2669"), (ReleaseVersion{1, 1, 0, 2669}));
    EXPECT_EQ(ParseReleaseVersion(L"65535.0.65535.0"), (ReleaseVersion{65535, 0, 65535, 0}));
    for (const wchar_t* text : {L"", L"1.1.0", L"1.1.0.2669.1", L"1.1.0.65536", L"1.1.0.100000", L"1..0.1", L"1.1.0.",
                                L" 1.1.0.1", L"1.1.0.1 beta", L"1.-1.0.1", L"v1.1.0.1"})
        EXPECT_FALSE(ParseReleaseVersion(text)) << testing::PrintToString(std::wstring(text));
    EXPECT_LT(*ParseReleaseVersion(L"1.9.0.0"), *ParseReleaseVersion(L"1.10.0.0"));
    EXPECT_LT(*ParseReleaseVersion(L"1.1.0.2669"), *ParseReleaseVersion(L"1.1.0.2700"));
    EXPECT_LT(*ParseReleaseVersion(L"1.65535.65535.65535"), *ParseReleaseVersion(L"2.0.0.0"));
}
