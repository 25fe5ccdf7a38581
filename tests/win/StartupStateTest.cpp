#include "app/InstallMain.h"
#include "app/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Points TMP somewhere else for one test; the system reads it afresh each call.
class ScopedTmp {
  public:
    explicit ScopedTmp(const std::wstring& value) {
        wchar_t old[32768];
        DWORD length = GetEnvironmentVariableW(L"TMP", old, 32768);
        had_ = length > 0;
        old_.assign(old, length);
        SetEnvironmentVariableW(L"TMP", value.c_str());
    }
    ~ScopedTmp() { SetEnvironmentVariableW(L"TMP", had_ ? old_.c_str() : nullptr); }

  private:
    bool had_;
    std::wstring old_;
};

}  // namespace

TEST(StartupState, TempDirLosesOneTrailingBackslash) {
    std::vector<wchar_t> buffer;
    ScopedTmp tmp(L"C:\\windows\\temp");
    EXPECT_EQ(ReadTempDir(buffer), L"C:\\windows\\temp");
    EXPECT_GE(buffer.size(), 100u);
}

TEST(StartupState, TempDirOfAnyLengthIsReadWhole) {
    // Longer than the first guess of 100 code units.
    std::wstring deep = L"C:\\windows\\temp";
    while (deep.size() < 180)
        deep += L"\\长路径目录名称";
    ASSERT_TRUE(TInstallForm::EnsureDirectory(deep));
    std::vector<wchar_t> buffer;
    ScopedTmp tmp(deep);
    EXPECT_EQ(ReadTempDir(buffer), deep);
    for (std::wstring level = deep; level.size() > 15; level.erase(level.rfind(L'\\')))
        RemoveDirectoryW(level.c_str());
}

TEST(StartupState, DebugPrivilegeCanBeEnabledAndUnknownOnesCannot) {
    EXPECT_TRUE(TInstallForm::EnablePrivilege(GetCurrentProcess(), L"SeDebugPrivilege"));
    EXPECT_FALSE(TInstallForm::EnablePrivilege(GetCurrentProcess(), L"SeNoSuchPrivilege"));
    EXPECT_FALSE(TInstallForm::EnablePrivilege(nullptr, L"SeDebugPrivilege"));
}
