#pragma once

#include "system/Handles.h"
#include "ui/Pages.h"
#include "ui/Picture.h"
#include "ui/WindowDefinition.h"

#include <windows.h>

#include <array>
#include <string>

class Application;

// What the window reports to the form that owns it.
class FormEvents {
  public:
    virtual void OnClick(ControlId control) = 0;
    virtual void OnCloseRequest() = 0;
    virtual void OnDestroy() = 0;

  protected:
    ~FormEvents() = default;
};

// The wizard window built from its definition, laid out for its monitor's dpi.
// Until it is created (a quiet run never creates it) it changes nothing.
class WizardWindow {
  public:
    WizardWindow(Application& application, FormEvents& events);
    WizardWindow(const WizardWindow&) = delete;
    WizardWindow& operator=(const WizardWindow&) = delete;
    ~WizardWindow();

    void Create();
    void Show();
    void Destroy();

    HWND Handle() const { return window_; }
    HWND Control(ControlId id) const { return controls_[Index(id)]; }

    std::wstring Text(ControlId id) const;
    void SetText(ControlId id, const wchar_t* text);
    void SetVisible(ControlId id, bool visible);
    void SetEnabled(ControlId id, bool enabled);
    bool IsChecked(ControlId id) const;

    ControlId ActivePage() const { return activePage_; }
    void SetActivePage(ControlId page);
    // Shows the page with its buttons, and its step, `number` of `count`.
    void Show(const PageDef& def, int number, int count);
    void ShowStepNumber(int number, int count);

    void SetProgressMax(int maximum);
    void AdvanceProgress(int amount);

    const Picture* ImagePicture(ControlId image) const { return pictures_[Index(image)]; }
    void SetImagePicture(ControlId image, const Picture* picture);

  private:
    static constexpr int Index(ControlId id) { return id - BottomPanel; }
    static constexpr bool IsOwnControl(int id) { return id >= BottomPanel && id < BottomPanel + kControlCount; }
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ProgressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Everything that depends on the scale, made for dpi_: the fonts and the
    // pictures.
    void MakeScaledObjects();
    // The welcome picture or the banner, made for dpi_.
    void MakePicture(PictureId id);
    // Lays the window out anew for another dpi: every control, font and
    // picture, and the window itself, placed at `suggested` where the system
    // suggests a place.
    void SetDpi(int dpi, const RECT* suggested);
    LRESULT ControlColor(HDC dc, HWND control);
    void PaintContainer(HWND container, HDC dc);
    // The etched rule below the banner's picture, whose top-left corner is at
    // (x, y).
    void DrawBannerRule(HDC dc, int x, int y) const;
    void CreateControls();
    // Places every control for dpi_, gives it its font, and fits each label
    // to its text.
    void PlaceControls();
    void FitLabel(ControlId id, const wchar_t* text, bool created);
    void MoveFocusOn(ControlId from);
    void Press(ControlId button);
    void PressOnEnter();
    // Rounded to the nearest pixel, as the system's MulDiv would; every
    // value of the definition is positive.
    int Scale(int value, int from = 96) const { return (value * dpi_ + from / 2) / from; }
    // The control's area in its parent, its edges scaled.
    RECT ScaledArea(const ControlDef& def) const;

    Application& application_;
    FormEvents& events_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    std::array<HWND, kControlCount> controls_{};
    std::array<const Picture*, kControlCount> pictures_{};
    std::array<UniqueGdiObject, 3> fonts_;
    Picture welcomePicture_;
    Picture bannerPicture_;
    ControlId activePage_ = WelcomeTabSheet;
    HWND focus_ = nullptr;
    WNDPROC groupBoxDefaultProc_ = nullptr;
    WNDPROC progressBarDefaultProc_ = nullptr;
    WNDPROC editDefaultProc_ = nullptr;
    bool holdBarPaint_ = false;
};
