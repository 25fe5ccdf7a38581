#include "system/Error.h"
#include "system/Handles.h"
#include "system/Reg.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const wchar_t kScratch[] = L"Software\\ZarvoRegTest";

// A scratch key under the current user, removed with everything below it.
class RegTest : public testing::Test {
  protected:
    void SetUp() override { SHDeleteKeyW(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, kScratch); }

    static std::wstring Path(const std::wstring& below) { return std::wstring(kScratch) + below; }

    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // The raw value as stored: its type and bytes.
    static std::pair<DWORD, std::vector<BYTE>> Raw(const std::wstring& path, const std::wstring& name) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        UniqueHKey owned(key);
        DWORD type = 0, size = 0;
        RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data(size);
        RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        return {type, data};
    }

    static void Store(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        UniqueHKey owned(key);
        ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    static std::wstring ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const Error& error) {
            return error.Message();
        }
        return L"(no error)";
    }
};

}  // namespace

TEST_F(RegTest, WritesCreateMissingKeysAndStoreTheTerminatingNul) {
    const std::wstring deep = Path(L"\\A\\B\\C");
    RegWriteString(HKEY_CURRENT_USER, deep.c_str(), true, L"Name", L"泽沃");
    EXPECT_EQ(Raw(deep, L"Name"),
              (std::pair<DWORD, std::vector<BYTE>>{REG_SZ, {0xFD, 0x6C, 0x83, 0x6C, 0, 0}}));  // UTF-16LE, then NUL

    RegWriteString(HKEY_CURRENT_USER, deep.c_str(), true, L"Empty", L"");
    EXPECT_EQ(Raw(deep, L"Empty"), (std::pair<DWORD, std::vector<BYTE>>{REG_SZ, {0, 0}}));

    const wchar_t readme[] = L"%TEMP%\\x";
    RegWriteValue(HKEY_CURRENT_USER, deep.c_str(), true, L"Readme", REG_EXPAND_SZ, readme, sizeof readme);
    EXPECT_EQ(Raw(deep, L"Readme").first, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, deep.c_str(), false, L"Readme"), L"%TEMP%\\x") << "not expanded";

    // A string value replaces one of another type.
    RegWriteString(HKEY_CURRENT_USER, deep.c_str(), true, L"Readme", L"plain");
    EXPECT_EQ(Raw(deep, L"Readme").first, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegTest, EmptyNameIsTheDefaultValueAndLeadingBackslashIsDropped) {
    RegWriteString(HKEY_CURRENT_USER, (L"\\" + Path(L"\\App")).c_str(), true, L"", L"C:\\Zarvo\\Zarvo.exe");
    EXPECT_TRUE(KeyExists(Path(L"\\App")));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, Path(L"\\App").c_str(), false, L""), L"C:\\Zarvo\\Zarvo.exe");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, (L"\\" + Path(L"\\App")).c_str(), false, L""), L"C:\\Zarvo\\Zarvo.exe");
}

// A read takes a missing key or value as the empty text; a write that stores
// nothing is a failure, with the system's code.
TEST_F(RegTest, AbsenceIsNoErrorForAReadButAWriteThatStoresNothingRaises) {
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, Path(L"\\Missing").c_str(), false, L"Value"), L"");
    EXPECT_FALSE(KeyExists(Path(L"\\Missing"))) << "reading creates nothing";
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, Path(L"\\Missing").c_str(), true, L"Value"), L"")
        << "the read may create the key but finds no value";

    try {
        RegWriteString(HKEY_CURRENT_USER, Path(L"\\NotCreated").c_str(), false, L"Value", L"x");
        ADD_FAILURE() << "a key that is not there and may not be created raises";
    } catch (const Error& error) {
        EXPECT_EQ(error.Message().rfind(L"Failed to create key '" + Path(L"\\NotCreated") + L"'. ", 0), 0u);
        EXPECT_EQ(error.Code(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_FALSE(KeyExists(Path(L"\\NotCreated"))) << "and takes nothing";

    RegWriteString(HKEY_CURRENT_USER, Path(L"\\Known").c_str(), true, L"Other", L"x");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, Path(L"\\Known").c_str(), false, L"Value"), L"") << "missing value";
}

TEST_F(RegTest, ReadChecksTypeAndCutsAtTheFirstNul) {
    const DWORD number = 7;
    Store(L"Number", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(ErrorOf([] { RegReadString(HKEY_CURRENT_USER, kScratch, false, L"Number"); }),
              L"Invalid data type for 'Number'");

    // A value that holds no bytes reads as empty, whatever its type.
    Store(L"NoBytes", REG_BINARY, nullptr, 0);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kScratch, false, L"NoBytes"), L"");

    const wchar_t embedded[] = L"first\0second";
    Store(L"Embedded", REG_SZ, embedded, sizeof embedded);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kScratch, false, L"Embedded"), L"first");

    // Data stored without its terminator, and an odd byte count, still end.
    Store(L"Unterminated", REG_SZ, L"abc", 6);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kScratch, false, L"Unterminated"), L"abc");
    Store(L"Odd", REG_SZ, L"abc", 5);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kScratch, false, L"Odd").substr(0, 2), L"ab");
}

TEST_F(RegTest, FailedStoreNamesTheValue) {
    // The registry refuses value names longer than 16383 characters.
    const std::wstring tooLong(20000, L'v');
    const std::wstring message =
        ErrorOf([&] { RegWriteString(HKEY_CURRENT_USER, Path(L"\\Long").c_str(), true, tooLong.c_str(), L"x"); });
    EXPECT_EQ(message, L"Failed to set data for '" + tooLong + L"'");
    EXPECT_TRUE(KeyExists(Path(L"\\Long"))) << "the key made for the write stays";
}
