#pragma once

#include <cstdint>

// The wizard window as data: every control with its parent, geometry at 96 dpi,
// caption, font and initial state. The window is created from this table by one
// loop; the order of the rows is the creation order, and so the tab order among
// siblings.

// One byte each, as every row of the table below holds two.
enum ControlId : std::uint8_t {
    NoControl = 0,
    // Ids start above IDOK and IDCANCEL, which the dialog manager sends for Enter
    // and Esc: the wizard has no default or cancel button.
    BottomPanel = 100,
    SupportLabel,
    OrderLabel,
    LastStepBtn,
    NextStepBtn,
    CancelBtn,
    OverBtn,
    InstallPage,
    WelcomeTabSheet,
    BeginImage,
    NameLabel,
    MoreIntrod,
    LisenseTabSheet,
    TopLogo1,
    LisenseTitle,
    LisenseIntrod,
    LibLable,
    Lisense,
    DirTabSheet,
    TopLogo2,
    TitleLabel,
    TitleCapLabel,
    ContentMemo,
    TargerGroupBox,
    InstallDir,
    BrowseBtn,
    ProcessTabSheet,
    StatusLabel,
    TopLogo3,
    CopyLabel,
    CopyIntrodLabel,
    ProgressBar,
    OverTabSheet,
    OverLabel,
    TopLogo4,
    OverTitleLabel,
    Run,
    VistaHome,
    CheckBoxLeadWeb,
    CheckBoxSetIEHome,
};

enum class ControlKind : std::uint8_t {
    Panel,        // raised bevel, no caption
    PageControl,  // pages without a tab strip
    Page,
    Label,  // sizes itself to its caption, draws no background
    Button,
    CheckBox,
    Edit,
    Memo,  // read-only multi-line text
    GroupBox,
    Image,  // painted by its parent; its window only tells a screen reader what it shows
    ProgressBar,
};

enum class FontStyle : std::uint8_t {
    Window,  // Tahoma 8 pt
    Bold10,  // Tahoma 10 pt bold
    Bold14,  // Tahoma 14 pt bold
};

enum class Backdrop : std::uint8_t {
    Default,
    ButtonFace,
    White,
};

enum class PictureId : std::uint8_t {
    None,
    Welcome,
    Banner,
};

namespace Flag {
enum : std::uint8_t {
    None = 0,
    Hidden = 1 << 0,
    Disabled = 1 << 1,
    Checked = 1 << 2,
    Bordered = 1 << 3,
    VerticalScroll = 1 << 4,
    TabStop = 1 << 5,
};
}  // namespace Flag

struct ControlDef {
    ControlId id;
    ControlId parent;  // NoControl: the window's client area
    ControlKind kind;
    short x, y, width, height;
    const wchar_t* caption;
    FontStyle font;
    std::uint8_t flags;
    Backdrop backdrop;
    PictureId picture;
};

struct WindowDef {
    const wchar_t* caption;
    short clientWidth, clientHeight;
    const wchar_t* fontFace;
    short fontPoints;
};

// What a screen reader says of a control whose own text does not say what it
// is: the pictures, which have none, the folder box, whose text is the folder,
// and the progress bar.
struct AccessibleName {
    ControlId id;
    const wchar_t* name;
    const wchar_t* description;  // null: none
};

constexpr int kControlCount = CheckBoxSetIEHome - BottomPanel + 1;

extern const WindowDef kWindow;
extern const ControlDef kControls[kControlCount];
extern const AccessibleName kAccessibleNames[7];

// The row of a control; every id has exactly one row.
const ControlDef& ControlDefOf(ControlId id);
