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
    for (const Product::Value& value : Product::kValues) {
        EXPECT_TRUE(value.key == Product::kAppPathsKey || value.key == Product::kUninstallKey) << value.name;
        if (value.data == Product::Data::InFolder || value.data == Product::Data::ExpandInFolder ||
            value.data == Product::Data::Command) {
            std::wstring named = value.text;
            named = named.substr(0, named.find(L'"'));
            EXPECT_TRUE(named.empty() || (named[0] == L'\\' && IsRootFile(named.substr(1)))) << value.name;
        }
    }
}
