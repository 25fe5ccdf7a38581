#include "payload/Catalogue.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

TEST(Catalogue, FifteenUniqueNamesLongEnoughForAStemAndAnExtension) {
    EXPECT_EQ(std::size(PayloadNames), 15u);
    const std::set<std::wstring> unique(std::begin(PayloadNames), std::end(PayloadNames));
    EXPECT_EQ(unique.size(), std::size(PayloadNames));
    for (const wchar_t* name : PayloadNames)
        EXPECT_GE(std::wstring(name).size(), 4u) << name;
}

TEST(Catalogue, FileNameHasADotBeforeTheLastThreeCharacters) {
    struct Case {
        const wchar_t* payload;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"x0804ini", L"x0804.ini"}, {L"ZarvResourcesdll", L"ZarvResources.dll"},
        {L"Zarvoexe", L"Zarvo.exe"}, {L"defaultzsk", L"default.zsk"},
        {L"atxt", L"a.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PayloadFileName(c.payload), c.file);
}

TEST(Catalogue, DestinationByExactPayloadName) {
    struct Case {
        const wchar_t* dir;
        const wchar_t* payload;
        const wchar_t* destination;
    };
    const Case cases[] = {
        {L"D:\\Tools\\Zarvo", L"x0404ini", L"D:\\Tools\\Zarvo\\Lang\\0x0404.ini"},
        {L"D:\\Tools\\Zarvo", L"x0804ini", L"D:\\Tools\\Zarvo\\Lang\\0x0804.ini"},
        {L"D:\\Tools\\Zarvo", L"x0409ini", L"D:\\Tools\\Zarvo\\Lang\\0x0409.ini"},
        {L"D:\\Tools\\Zarvo", L"ZarvConfigini", L"D:\\Tools\\Zarvo\\Data\\ZarvConfig.ini"},
        {L"D:\\Tools\\Zarvo", L"defaultzsk", L"D:\\Tools\\Zarvo\\Skin\\default.zsk"},
        {L"D:\\Tools\\Zarvo", L"Lisensetxt", L"D:\\Tools\\Zarvo\\Lisense.txt"},
        {L"D:\\Tools\\Zarvo", L"Zarvoexe", L"D:\\Tools\\Zarvo\\Zarvo.exe"},
        {L"D:\\Tools\\Zarvo\\", L"Lisensetxt", L"D:\\Tools\\Zarvo\\\\Lisense.txt"},
        {L"D:\\Tools\\Zarvo\\", L"x0404ini", L"D:\\Tools\\Zarvo\\\\Lang\\0x0404.ini"},
        {L"D:\\Tools\\Zarvo", L"zarvconfigini", L"D:\\Tools\\Zarvo\\zarvconfig.ini"},
        {L"D:\\Tools\\Zarvo", L"X0404ini", L"D:\\Tools\\Zarvo\\X0404.ini"},
        {L"D:\\Tools\\Zarvo", L"Defaultzsk", L"D:\\Tools\\Zarvo\\Default.zsk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PayloadDestination(c.dir, c.payload, PayloadFileName(c.payload)), c.destination) << c.payload;
}
