#include "ui/Texts.h"
#include "ui/WindowDefinition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Lines(const wchar_t* text) {
    std::vector<std::wstring> lines;
    std::wstring all(text);
    size_t start = 0;
    for (size_t end; (end = all.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(all.substr(start, end - start));
    EXPECT_EQ(start, all.size()) << "every line ends in a line break";
    return lines;
}

// The welcome text box reaches a pixel past its page, which clips it; what
// matters is that every control starts inside its parent.
bool StartsInside(const ControlDef& child, int parentWidth, int parentHeight) {
    return child.x >= 0 && child.y >= 0 && child.x < parentWidth && child.y < parentHeight;
}

}  // namespace

TEST(WindowDefinition, EveryIdHasItsRowAndEveryChildStartsInItsParent) {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlDef& def = kControls[i];
        ASSERT_EQ(def.id, BottomPanel + i) << "row " << i;
        EXPECT_EQ(&ControlDefOf(def.id), &def);
        if (def.parent == NoControl) {
            EXPECT_TRUE(StartsInside(def, kWindow.clientWidth, kWindow.clientHeight)) << "row " << i;
            continue;
        }
        const ControlDef& parent = ControlDefOf(def.parent);
        EXPECT_LT(def.parent, def.id) << "a parent is created before its children, row " << i;
        EXPECT_TRUE(StartsInside(def, parent.width, parent.height)) << "row " << i;
    }
}

TEST(WindowDefinition, BottomBarAndPages) {
    EXPECT_EQ(kWindow.clientWidth, 494);
    EXPECT_EQ(kWindow.clientHeight, 320);
    const ControlDef& panel = ControlDefOf(BottomPanel);
    const ControlDef& pages = ControlDefOf(InstallPage);
    EXPECT_EQ(panel.y + panel.height, kWindow.clientHeight) << "the panel sits on the bottom edge";
    EXPECT_EQ(pages.height, panel.y) << "the pages fill the rest";

    const ControlDef& next = ControlDefOf(NextStepBtn);
    const ControlDef& over = ControlDefOf(OverBtn);
    EXPECT_EQ(std::make_tuple(next.x, next.y, next.width, next.height),
              std::make_tuple(over.x, over.y, over.width, over.height));
    EXPECT_TRUE(over.flags & Flag::Hidden);
    EXPECT_TRUE(ControlDefOf(LastStepBtn).flags & Flag::Hidden);
    EXPECT_FALSE(next.flags & Flag::Hidden);
    EXPECT_FALSE(ControlDefOf(CancelBtn).flags & Flag::Hidden);

    int shownPages = 0;
    for (const ControlDef& def : kControls)
        if (def.kind == ControlKind::Page) {
            EXPECT_EQ(def.parent, InstallPage);
            EXPECT_EQ(def.width, 486);
            EXPECT_EQ(def.height, 269);
            shownPages += !(def.flags & Flag::Hidden);
        }
    EXPECT_EQ(shownPages, 1);
    EXPECT_FALSE(ControlDefOf(WelcomeTabSheet).flags & Flag::Hidden);
}

TEST(WindowDefinition, OnlyTheFirstBannerCarriesThePicture) {
    EXPECT_EQ(ControlDefOf(TopLogo1).picture, PictureId::Banner);
    for (ControlId logo : {TopLogo2, TopLogo3, TopLogo4}) {
        EXPECT_EQ(ControlDefOf(logo).picture, PictureId::None);
        EXPECT_EQ(ControlDefOf(logo).width, 486);
        EXPECT_EQ(ControlDefOf(logo).height, 63);
    }
    EXPECT_EQ(ControlDefOf(BeginImage).picture, PictureId::Welcome);
    for (ControlId check : {ControlId::Run, VistaHome, CheckBoxLeadWeb, CheckBoxSetIEHome})
        EXPECT_TRUE(ControlDefOf(check).flags & Flag::Checked);
}

TEST(WindowDefinition, TextsHaveTheirLines) {
    const auto welcome = Lines(kWelcomeText);
    ASSERT_EQ(welcome.size(), 17u);
    EXPECT_EQ(welcome[0], L"\u3000\u3000泽沃浏览器（Zarvo）是一款集多窗口，多线程，智能");
    EXPECT_EQ(welcome[1], L"屏");
    EXPECT_EQ(welcome[9], L"        1.修正在低于IE7上缩放页面时报错的BUG");
    EXPECT_EQ(welcome[14], L"        6.修正访问特殊网页时造成的找不到成员的BUG");
    EXPECT_EQ(welcome[16], L"\u3000\u3000请单击【下一步】继续安装。");
    for (int empty : {5, 7, 15})
        EXPECT_TRUE(welcome[empty].empty()) << empty;

    const auto directory = Lines(kDirectoryText);
    ASSERT_EQ(directory.size(), 4u);
    EXPECT_EQ(directory[1], L"浏览】并选择其它的文件夹。");
    EXPECT_TRUE(directory[2].empty());

    const auto licence = Lines(kLicenceText);
    ASSERT_EQ(licence.size(), 53u);
    EXPECT_EQ(licence[0], L"非常感谢报告Bug和反馈建议的诸位朋友，谢谢你们的支持！ ");
    EXPECT_EQ(licence[2], L"泽沃浏览器(Zarvo)自述文件");
    EXPECT_EQ(licence[4], std::wstring(47, L'='));
    EXPECT_EQ(licence[6], std::wstring(47, L'='));
    EXPECT_EQ(licence[51], std::wstring(43, L'='));
    EXPECT_EQ(licence[52], L"您可以自由转载本软件，欢迎各大厂商与我们合作。");
}
