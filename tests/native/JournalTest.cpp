#include "install/Journal.h"
#include "system/Product.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The journal reads back as written, and bytes that are not a whole journal
// are refused, whatever is cut or added.
TEST(Journal, ReadsBackAsWrittenAndRefusesAnythingElse) {
    std::vector<JournalValue> values(2);
    values[0] = {L"SOFTWARE\\Zarvo", L"", true, true, 1, {'a', 0, 0, 0}, 1, {'b', 0, 0, 0}};
    values[1] = {L"SOFTWARE\\泽沃", L"NoRepair", false, false, 0, {}, 4, {1, 0, 0, 0}};
    const std::vector<unsigned char> bytes = EncodeJournal(values);
    std::vector<JournalValue> read;
    ASSERT_TRUE(DecodeJournal(bytes, read));
    EXPECT_EQ(read, values);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<JournalValue> none;
        EXPECT_FALSE(DecodeJournal(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut), none)) << cut;
        EXPECT_TRUE(none.empty());
    }
    std::vector<unsigned char> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(DecodeJournal(longer, read));
    // A value that existed had its key.
    values[0].keyExisted = false;
    EXPECT_FALSE(DecodeJournal(EncodeJournal(values), read));
}

namespace {

// A text as Windows stores it: UTF-16 units, little-endian, with its NUL.
std::vector<unsigned char> Utf16(const std::wstring& text) {
    std::vector<unsigned char> bytes;
    for (wchar_t c : text + L'\0')
        bytes.insert(bytes.end(), {static_cast<unsigned char>(c & 0xff), static_cast<unsigned char>(c >> 8 & 0xff)});
    return bytes;
}

// Each of the product's values as the product writes it into `dir`, before
// and after alike.
std::vector<JournalValue> SoundJournal(const std::wstring& dir = L"C:\\Zarvo", const std::wstring& text = L"a") {
    std::vector<JournalValue> sound;
    for (const Product::Value& value : Product::kValues) {
        const std::uint32_t type = Product::RegistryType(value.data);
        const bool path = value.data == Product::Data::InFolder || value.data == Product::Data::ExpandInFolder;
        const std::vector<unsigned char> data =
            type == 4                            ? std::vector<unsigned char>{1, 0, 0, 0}
            : path                               ? Utf16(dir + value.text)
            : value.data == Product::Data::Above ? Utf16(dir)
            : value.data == Product::Data::Command || value.data == Product::Data::Kept
                ? Utf16(L"\"" + dir + value.text)
                : Utf16(text);
        sound.push_back({value.key, value.name, true, true, type, data, type, data});
    }
    return sound;
}

}  // namespace

// A journal names the product's values only, each once, with the data the run
// wrote of the value's own type; anything else refuses it as a whole.
TEST(Journal, NamesOnlyTheProductsValuesOfTheirTypes) {
    const std::vector<JournalValue> sound = SoundJournal();
    EXPECT_EQ(JournalRefusal(sound), nullptr);
    EXPECT_EQ(JournalRefusal({}), nullptr);
    const std::function<void(JournalValue&)> changes[] = {
        [](JournalValue& v) { v.key = L"SYSTEM\\CurrentControlSet\\Services\\Zarvo"; },
        [](JournalValue& v) { v.key += L'\0'; },
        [](JournalValue& v) { v.name = L"ImagePath"; },
        [](JournalValue& v) { v.newType = 2; },
        [](JournalValue& v) { v.newData.pop_back(); },
        [](JournalValue& v) {
            v.newData = {'a', 0, 'b', 0};
        },
    };
    // The last of the installation's own values, before the system's defaults.
    const std::size_t last = Product::kValueCount - 1 - 2 * 9;
    ASSERT_FALSE(Product::SetsDefault(Product::kValues[last].data));
    ASSERT_TRUE(Product::SetsDefault(Product::kValues[last + 1].data));
    for (std::size_t i = 0; i < std::size(changes); ++i)
        for (std::size_t at : {std::size_t(0), last}) {
            std::vector<JournalValue> changed = sound;
            changes[i](changed[at]);
            EXPECT_NE(JournalRefusal(changed), nullptr) << i << " at " << at;
        }
    std::vector<JournalValue> twice = sound;
    twice.push_back(sound[3]);
    EXPECT_NE(JournalRefusal(twice), nullptr);
    std::vector<JournalValue> shortNumber = sound;
    for (JournalValue& value : shortNumber)
        if (value.newType == 4)
            value.newData.pop_back();
    EXPECT_NE(JournalRefusal(shortNumber), nullptr);
    // The system's defaults, and their records, hold another program's text
    // of either kind, but no number.
    std::vector<JournalValue> another = sound;
    another[last + 1].type = 2;
    EXPECT_EQ(JournalRefusal(another), nullptr);
    another[last + 2].newType = 4;
    another[last + 2].newData = {1, 0, 0, 0};
    EXPECT_NE(JournalRefusal(another), nullptr);
    // A removal's journal: each value deleted, no type and no data; data
    // without a type is refused.
    std::vector<JournalValue> removal = sound;
    for (JournalValue& value : removal) {
        value.newType = 0;
        value.newData.clear();
    }
    EXPECT_EQ(JournalRefusal(removal), nullptr);
    removal.back().newData = {'a', 0};
    EXPECT_NE(JournalRefusal(removal), nullptr);
}

// What stood before is what the product could have had: missing, or of the
// table's type and shape. A foreign type, a text that is no text, a path
// value that is no folder of the product's refuse the journal; the largest
// journal taken is within the bound that its reader allows.
TEST(Journal, EarlierDataOnlyWhatTheProductCouldHaveHad) {
    const std::vector<JournalValue> sound = SoundJournal();
    std::vector<JournalValue> missing = sound;
    for (JournalValue& value : missing) {
        value.keyExisted = value.existed = false;
        value.type = 0;
        value.data.clear();
    }
    EXPECT_EQ(JournalRefusal(missing), nullptr);
    // The App Paths entry, its Path, the Comments, the Readme, the uninstall
    // command, the quiet one, a number and the folder made above, by their
    // places in the table.
    const std::size_t app = 0, path = 1, comments = 2, readme = 6, command = 7, quiet = 8, number = 14, above = 22;
    const std::pair<std::size_t, std::function<void(JournalValue&)>> foreign[] = {
        {app, [](JournalValue& v) { v.type = 2, v.data = Utf16(L"C:\\evil\\evil.exe"); }},
        {app, [](JournalValue& v) { v.data = Utf16(L"C:\\evil\\evil.exe"); }},
        {readme, [](JournalValue& v) { v.type = 1; }},
        {command,
         [](JournalValue& v) {
             v.type = 7, v.data.insert(v.data.end(), {0, 0});
         }},
        {command, [](JournalValue& v) { v.data.erase(v.data.begin(), v.data.begin() + 2); }},
        {quiet, [](JournalValue& v) { v.data = Utf16(L"\"C:\\Evil\\ZarvoSetup.exe\" /uninstall /quiet"); }},
        {path, [](JournalValue& v) { v.data = Utf16(L"Zarvo"); }},
        {path, [](JournalValue& v) { v.data = Utf16(L"C:\\"); }},
        {above, [](JournalValue& v) { v.data = Utf16(L"C:\\"); }},
        {path, [](JournalValue& v) { v.data = Utf16(L"C:\\Zarvo\\..\\Windows\\CON"); }},
        {comments, [](JournalValue& v) { v.data = Utf16(std::wstring(L"a\0b", 3)); }},
        {comments, [](JournalValue& v) { v.data.pop_back(); }},
        {comments, [](JournalValue& v) { v.data.clear(); }},
        {number, [](JournalValue& v) { v.data.pop_back(); }},
        {number, [](JournalValue& v) { v.type = 11, v.data.resize(8); }},
        {number, [](JournalValue& v) { v.existed = false; }},
    };
    for (std::size_t i = 0; i < std::size(foreign); ++i) {
        std::vector<JournalValue> changed = sound;
        foreign[i].second(changed[foreign[i].first]);
        EXPECT_NE(JournalRefusal(changed), nullptr) << i;
    }
    const std::vector<JournalValue> longest = SoundJournal(L"C:\\" + std::wstring(200, L'z'), std::wstring(519, L'a'));
    EXPECT_EQ(JournalRefusal(longest), nullptr);
    EXPECT_LE(EncodeJournal(longest).size(), LongestJournal());
    EXPECT_NE(JournalRefusal(SoundJournal(L"C:\\Zarvo", std::wstring(520, L'a'))), nullptr);
}
