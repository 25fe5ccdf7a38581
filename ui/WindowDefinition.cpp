#include "ui/WindowDefinition.h"

#include "Version.h"
#include "ui/Texts.h"

const WindowDef kWindow = {L"泽沃浏览器V" ZARVO_VERSION_TEXT L" beta 安装程序", 494, 320, L"Tahoma", 8};

namespace {
constexpr auto W = FontStyle::Window;
constexpr auto B10 = FontStyle::Bold10;
constexpr auto B14 = FontStyle::Bold14;
constexpr auto Def = Backdrop::Default;
constexpr auto Face = Backdrop::ButtonFace;
constexpr auto White = Backdrop::White;
constexpr auto NoPic = PictureId::None;
}  // namespace

// clang-format off
const ControlDef kControls[kControlCount] = {
    // id                parent           kind                       x    y    w    h  caption                                                    font flags                     backdrop picture
    {BottomPanel,        NoControl,       ControlKind::Panel,        0, 279, 494,  41, L"",                                                         W,  Flag::None,                   Def,  NoPic},
    {SupportLabel,       BottomPanel,     ControlKind::Label,        3,   2, 204,  13, L"技术支持：洛菲工作室（www.luofei.example）",               W,  Flag::Disabled,                  Def,  NoPic},
    {OrderLabel,         BottomPanel,     ControlKind::Label,        9,  23, 108,  13, L"",                                                         W,  Flag::Disabled,                  Def,  NoPic},
    {LastStepBtn,        BottomPanel,     ControlKind::Button,     229,  10,  75,  25, L"上一步",                                                   W,  Flag::Hidden | Flag::TabStop,          Def,  NoPic},
    {NextStepBtn,        BottomPanel,     ControlKind::Button,     313,  10,  75,  25, L"下一步",                                                   W,  Flag::TabStop,                   Def,  NoPic},
    {CancelBtn,          BottomPanel,     ControlKind::Button,     395,  10,  75,  25, L"取消",                                                     W,  Flag::TabStop,                   Def,  NoPic},
    {OverBtn,            BottomPanel,     ControlKind::Button,     313,  10,  75,  25, L"完成",                                                     W,  Flag::Hidden | Flag::TabStop,          Def,  NoPic},
    {InstallPage,        NoControl,       ControlKind::PageControl,  0,   0, 494, 279, L"",                                                         W,  Flag::None,                   Def,  NoPic},

    {WelcomeTabSheet,    InstallPage,     ControlKind::Page,         4,   4, 486, 269, L"欢迎页面",                                                 W,  Flag::None,                   Def,  NoPic},
    {BeginImage,         WelcomeTabSheet, ControlKind::Image,        0,   0, 160, 269, L"",                                                         W,  Flag::None,                 Def,  PictureId::Welcome},
    {NameLabel,          WelcomeTabSheet, ControlKind::Label,      166,   2, 272,  23, L"欢迎使用 泽沃浏览器 安装向导",                             B14, Flag::None,                  Def,  NoPic},
    {MoreIntrod,         WelcomeTabSheet, ControlKind::Memo,       161,  32, 326, 241, kWelcomeText,                                                W,  Flag::TabStop,                   Face, NoPic},

    {LisenseTabSheet,    InstallPage,     ControlKind::Page,         4,   4, 486, 269, L"安装协议",                                                 W,  Flag::Hidden,                    Def,  NoPic},
    {TopLogo1,           LisenseTabSheet, ControlKind::Image,        0,   0, 486,  63, L"",                                                         W,  Flag::None,                   Def,  PictureId::Banner},
    {LisenseTitle,       LisenseTabSheet, ControlKind::Label,       16,   8,  64,  16, L"许可协议",                                                 B10, Flag::None,                  Def,  NoPic},
    {LisenseIntrod,      LisenseTabSheet, ControlKind::Label,       46,  30, 168,  13, L"继续安装前请阅读下列重要信息",                             W,  Flag::None,                   Def,  NoPic},
    {LibLable,           LisenseTabSheet, ControlKind::Label,       16,  70, 336,  13, L"请仔细阅读下列许可协议。您在安装前必须同意这些协议条款。", W,  Flag::None,                   Def,  NoPic},
    {Lisense,            LisenseTabSheet, ControlKind::Memo,        16,  89, 450, 169, kLicenceText,                                                W,  Flag::Bordered | Flag::VerticalScroll | Flag::TabStop, White, NoPic},

    {DirTabSheet,        InstallPage,     ControlKind::Page,         4,   4, 486, 269, L"选择目录",                                                 W,  Flag::Hidden,                    Def,  NoPic},
    {TopLogo2,           DirTabSheet,     ControlKind::Image,        0,   0, 486,  63, L"",                                                         W,  Flag::None,                   Def,  NoPic},
    {TitleLabel,         DirTabSheet,     ControlKind::Label,       16,   8, 112,  16, L"选择安装路径：",                                           B10, Flag::None,                  Def,  NoPic},
    {TitleCapLabel,      DirTabSheet,     ControlKind::Label,       46,  30, 192,  13, L"选择【泽沃浏览器】的安装文件夹。",                         W,  Flag::None,                   Def,  NoPic},
    {ContentMemo,        DirTabSheet,     ControlKind::Memo,         3,  64, 457,  57, kDirectoryText,                                              W,  Flag::TabStop,                   White, NoPic},
    {TargerGroupBox,     DirTabSheet,     ControlKind::GroupBox,    17, 152, 449,  65, L"目标文件夹",                                               W,  Flag::None,                   Def,  NoPic},
    {InstallDir,         TargerGroupBox,  ControlKind::Edit,        10,  27, 383,  21, L"",                                                         W,  Flag::TabStop,                   Def,  NoPic},
    {BrowseBtn,          TargerGroupBox,  ControlKind::Button,     399,  25,  47,  25, L"浏览",                                                     W,  Flag::TabStop,                   Def,  NoPic},

    {ProcessTabSheet,    InstallPage,     ControlKind::Page,         4,   4, 486, 269, L"复制文件",                                                 W,  Flag::Hidden,                    Def,  NoPic},
    {StatusLabel,        ProcessTabSheet, ControlKind::Label,       40,  88,  24,  13, L"正在",                                                     W,  Flag::None,                   Def,  NoPic},
    {TopLogo3,           ProcessTabSheet, ControlKind::Image,        0,   0, 486,  63, L"",                                                         W,  Flag::None,                   Def,  NoPic},
    {CopyLabel,          ProcessTabSheet, ControlKind::Label,       16,   8,  64,  16, L"正在复制",                                                 B10, Flag::None,                  Def,  NoPic},
    {CopyIntrodLabel,    ProcessTabSheet, ControlKind::Label,       46,  30, 204,  13, L"正在复制文件到选择的文件夹，请稍候",                       W,  Flag::None,                   Def,  NoPic},
    {ProgressBar,        ProcessTabSheet, ControlKind::ProgressBar, 40, 116, 393,  25, L"",                                                         W,  Flag::None,                   Def,  NoPic},

    {OverTabSheet,       InstallPage,     ControlKind::Page,         4,   4, 486, 269, L"完成",                                                     W,  Flag::Hidden,                    Def,  NoPic},
    {OverLabel,          OverTabSheet,    ControlKind::Label,       96,  96, 288,  13, L"恭喜您！安装已完成，单击完成按钮退出该安装程序。",         W,  Flag::None,                   Def,  NoPic},
    {TopLogo4,           OverTabSheet,    ControlKind::Image,        0,   0, 486,  63, L"",                                                         W,  Flag::None,                   Def,  NoPic},
    {OverTitleLabel,     OverTabSheet,    ControlKind::Label,       16,   8,  64,  16, L"安装完成",                                                 B10, Flag::None,                  Def,  NoPic},
    {Run,                OverTabSheet,    ControlKind::CheckBox,    96, 131, 127,  17, L"立即运行泽沃浏览器",                                       W,  Flag::Checked | Flag::TabStop,         Def,  NoPic},
    {VistaHome,          OverTabSheet,    ControlKind::CheckBox,    96, 160, 177,  17, L"访问官方网站，获取最新动态",                               W,  Flag::Checked | Flag::TabStop,         Def,  NoPic},
    {CheckBoxLeadWeb,    OverTabSheet,    ControlKind::CheckBox,    96, 189, 127,  17, L"访问2345网址导航",                                         W,  Flag::Checked | Flag::TabStop,         Def,  NoPic},
    {CheckBoxSetIEHome,  OverTabSheet,    ControlKind::CheckBox,    96, 216, 127,  17, L"设置主页为网页导航",                                       W,  Flag::Checked | Flag::TabStop,         Def,  NoPic},
};
// clang-format on

namespace {
constexpr wchar_t kEmblem[] = L"泽沃浏览器标志";
constexpr wchar_t kBanner[] = L"横幅：浅蓝色底上带橙色光环的蓝色地球";
}  // namespace

const AccessibleName kAccessibleNames[7] = {
    {BeginImage, kEmblem, L"欢迎图片：深蓝色夜空中带橙色光环的蓝色地球"},
    {TopLogo1, kEmblem, kBanner},
    {TopLogo2, kEmblem, kBanner},
    {TopLogo3, kEmblem, kBanner},
    {TopLogo4, kEmblem, kBanner},
    // The folder box is named by its group's caption.
    {InstallDir, L"目标文件夹", nullptr},
    {ProgressBar, L"复制进度", nullptr},
};

const ControlDef& ControlDefOf(ControlId id) {
    // Rows are in id order, one per id, starting at the first id.
    return kControls[id - BottomPanel];
}
