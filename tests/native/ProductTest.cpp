#include "payload/Catalogue.h"
#include "system/Product.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

bool IsRootFile(const std::wstring& name) {
    for (const Product::File& file : Product::kFiles)
        if (name == file.name && *file.folder == L'\0')
            return true;
    return false;
}

}  // namespace

// The tables say one thing: each fact that names another names one that is
// there, so that a file, folder or shortcut added to one table cannot be
// silently left out by what derives from the others.
TEST(Product, TablesAgreeWithEachOther) {
    std::set<std::wstring> folders{L""}, payloads, places;
    for (const wchar_t* folder : Product::kFolders)
        folders.insert(folder);
    for (const Product::File& file : Product::kFiles) {
        EXPECT_TRUE(folders.count(file.folder)) << file.payload << " goes to a folder of the tree";
        EXPECT_TRUE(payloads.insert(file.payload).second) << file.payload << " once";
        EXPECT_TRUE(places.insert(std::wstring(file.folder) + L"\\" + file.name).second) << file.name << " once";
        // The installed name is the payload's file name; a language file's
        // carries a "0" before it, which makes it its language's number.
        const std::wstring rule = PayloadFileName(file.payload);
        EXPECT_TRUE(file.name == rule || (std::wstring(file.folder) == L"\\Lang" && file.name == L"0" + rule))
            << file.payload;
    }
    for (const wchar_t* program : Product::kPrograms)
        EXPECT_TRUE(IsRootFile(program)) << program;
    for (const Product::Shortcut& shortcut : Product::kShortcuts)
        EXPECT_TRUE(IsRootFile(shortcut.target)) << shortcut.name;
    std::set<std::wstring> keys;
    for (const Product::Value& value : Product::kValues) {
        // Each key after the product's key that holds it, so that an undo,
        // going backwards, empties the inner one first.
        const std::wstring key = value.key, holding(Product::KeyHolding(key));
        EXPECT_TRUE(holding.empty() || keys.count(holding)) << key;
        keys.insert(key);
        if (value.data == Product::Data::InFolder || value.data == Product::Data::ExpandInFolder ||
            value.data == Product::Data::Command) {
            std::wstring named = value.text;
            named = named.substr(0, named.find_first_of(L"\","));
            EXPECT_TRUE(named.empty() || (named[0] == L'\\' && IsRootFile(named.substr(1)))) << value.name;
        }
    }
    // The browser's registration names only what it registers: each link and
    // page type a class of its own that opens the browser, the registered
    // application its capabilities, the Start menu its client.
    for (const Product::Value& value : Product::kValues) {
        const std::wstring key = value.key;
        if (key.size() > 17 && key.compare(key.size() - 12, 12, L"Associations") == 0) {
            EXPECT_TRUE(keys.count(L"SOFTWARE\\Classes\\" + std::wstring(value.text) + L"\\shell\\open\\command"))
                << value.name;
            EXPECT_TRUE(keys.count(L"SOFTWARE\\Classes\\" + std::wstring(value.text) + L"\\DefaultIcon")) << value.name;
        }
    }
    const Product::Value* registered =
        std::find_if(std::begin(Product::kValues), std::end(Product::kValues),
                     [](const Product::Value& value) { return value.key == Product::kRegisteredAppsKey; });
    EXPECT_TRUE(keys.count(registered->text)) << "the registered capabilities";
    EXPECT_TRUE(keys.count(std::wstring(L"SOFTWARE\\Clients\\StartMenuInternet\\") + ZARVO_SHORT_NAME));
    EXPECT_FALSE(Product::OwnsKey(registered->key)) << "every browser's key";
    // Each record of a default follows it, named by its key; the default's
    // key is the system's, and names a class or client of the product's.
    for (std::size_t i = 0; i < Product::kValueCount; ++i) {
        const Product::Value& value = Product::kValues[i];
        if (value.data != Product::Data::Replaced)
            continue;
        const Product::Value& now = Product::kValues[i - 1];
        EXPECT_TRUE(Product::IsDefault(now.data) && value.name == now.key) << value.name;
        EXPECT_FALSE(Product::OwnsKey(now.key)) << now.key;
        EXPECT_TRUE(Product::InShellView(now.key)) << now.key;
        EXPECT_TRUE(now.data == Product::Data::DefaultCommand ||
                    keys.count(ZARVO_CLASS_KEY() + std::wstring(now.text)) ||
                    keys.count(std::wstring(now.key) + L"\\" + now.text))
            << now.key;
    }
}
