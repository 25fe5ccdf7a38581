#include "payload/MemorySource.h"
#include "system/ComPtr.h"
#include "tests/gui/Driver.h"
#include "tests/gui/Layout.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr UINT kDpiChanged = 0x02E0;

// The display's scale for the length of a test; installers started meanwhile
// see it.
class DisplayScale {
  public:
    explicit DisplayScale(DWORD dpi) {
        desktop_.SetDword(dpi);
        fonts_.SetDword(dpi);
    }

  private:
    ScopedRegistryValue desktop_{HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"};
    ScopedRegistryValue fonts_{HKEY_LOCAL_MACHINE,
                               L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", L"LogPixels"};
};

// What a picture shows on screen: its pixels, and its area in the window.
struct Shown {
    std::vector<COLORREF> pixels;
    int width, height;
};

// The part of an image control that its picture covers at that dpi (the
// banner's picture leaves the control's last row and column to the page).
Shown PictureOnScreen(Installer& installer, ControlId image, int dpi) {
    RECT area = RectInWindow(installer.Control(image));
    if (image != BeginImage) {
        area.right = area.left + MulDiv(485, dpi, 96);
        area.bottom = area.top + MulDiv(62, dpi, 96);
    }
    return {ClientPixels(installer.Window(), area), area.right - area.left, area.bottom - area.top};
}

// The share of the picture's area that shows the bare page.
double BareShare(const Shown& shown) {
    const COLORREF page = GetSysColor(COLOR_BTNFACE);
    return std::count(shown.pixels.begin(), shown.pixels.end(), page) / double(shown.pixels.size());
}

// The picture that the installer carries under that name, as the system's
// picture object decodes it, with its width.
std::vector<COLORREF> CarriedPicture(const wchar_t* name, int* width = nullptr) {
    HMODULE installer = LoadLibraryExW(InstallerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceW(installer, name, MAKEINTRESOURCEW(10));
    MemorySource packed(LockResource(LoadResource(installer, found)), SizeofResource(installer, found));
    ByteBuffer image;
    DecompressStream(packed, image);
    FreeLibrary(installer);
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    stream->Write(image.data(), static_cast<ULONG>(image.size()), nullptr);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(image.size()), FALSE, IID_IPicture, picture.put_void())))
        return {};
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    BITMAP bitmap{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof bitmap, &bitmap);
    if (width)
        *width = bitmap.bmWidth;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<COLORREF> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), 0, bitmap.bmHeight, pixels.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (COLORREF& pixel : pixels)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
    return pixels;
}

// A picture halved, each pixel the mean of the four that it covers.
std::vector<COLORREF> Halved(const std::vector<COLORREF>& pixels, int width) {
    std::vector<COLORREF> half;
    for (size_t y = 0; y + 1 < pixels.size() / width; y += 2)
        for (int x = 0; x + 1 < width; x += 2) {
            const COLORREF four[] = {pixels[y * width + x], pixels[y * width + x + 1], pixels[(y + 1) * width + x],
                                     pixels[(y + 1) * width + x + 1]};
            int sums[3] = {};
            for (COLORREF c : four)
                sums[0] += GetRValue(c), sums[1] += GetGValue(c), sums[2] += GetBValue(c);
            half.push_back(RGB((sums[0] + 2) / 4, (sums[1] + 2) / 4, (sums[2] + 2) / 4));
        }
    return half;
}

}  // namespace

// At each scale the controls sit where the table puts them, scaled, and both
// pictures fill their place with no bare page, drawn for that scale: never a
// picture enlarged.
TEST(DisplayScale, ControlsAndPicturesAtEveryScale) {
    for (int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        DisplayScale scale(dpi);
        Installer installer;
        ASSERT_TRUE(installer.Window());
        Settle(installer.Window());
        const SIZE client = ClientSize(installer.Window());
        EXPECT_EQ(client.cx, MulDiv(494, dpi, 96));
        EXPECT_EQ(client.cy, MulDiv(320, dpi, 96));
        ExpectLayout(installer, dpi);

        const Shown welcome = PictureOnScreen(installer, BeginImage, dpi);
        EXPECT_LT(BareShare(welcome), 0.005);
        // At the scales that it carries, the picture drawn for that scale,
        // pixel for pixel; in between, the larger one shrunk.
        if (dpi % 48 == 0) {
            EXPECT_EQ(welcome.pixels, CarriedPicture(dpi == 96    ? L"WELCOME100"
                                                     : dpi == 144 ? L"WELCOME150"
                                                                  : L"WELCOME200"));
        }

        ASSERT_TRUE(Press(installer.Control(NextStepBtn)));
        ASSERT_TRUE(WaitUntil([&] { return Visible(installer.Control(LisenseTabSheet)); }));
        const Shown banner = PictureOnScreen(installer, TopLogo1, dpi);
        EXPECT_LT(BareShare(banner), 0.005);
        const COLORREF page = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < banner.height; y += 8)
            EXPECT_NE(banner.pixels[y * banner.width + banner.width - 1], page) << "row " << y << " reaches the edge";
        // At 100 % the banner for 200 % halved, which is the same drawing,
        // above the rule that the window draws; looked at right of the page
        // title, where the emblem is.
        if (dpi == 96) {
            int width = 0;
            const std::vector<COLORREF> carried = CarriedPicture(L"BANNER200", &width);
            ASSERT_EQ(carried.size(), 970u * 120);
            const std::vector<COLORREF> halved = Halved(carried, width);
            for (int y = 0; y < 60; ++y)
                EXPECT_TRUE(std::equal(&halved[y * 485 + 240], &halved[y * 485 + 485], &banner.pixels[y * 485 + 240]))
                    << "row " << y;
        }
    }
}

// Moved to a monitor of another scale, the window lays itself out anew:
// sizes, fonts and pictures as though it had started there.
TEST(DisplayScale, MovedToAMonitorOfAnotherScale) {
    std::vector<RECT> started;
    std::vector<COLORREF> startedPixels;
    const RECT client{0, 0, 741, 480};
    {
        DisplayScale scale(144);
        Installer installer;
        ASSERT_TRUE(installer.Window());
        Settle(installer.Window());
        for (const ControlDef& def : kControls)
            started.push_back(RectInParent(installer.Control(def.id)));
        startedPixels = ClientPixels(installer.Window(), client);
    }

    Installer installer;
    ASSERT_TRUE(installer.Window());
    RECT frame{};
    GetWindowRect(installer.Window(), &frame);
    const RECT suggested{frame.left, frame.top, frame.left + 760, frame.top + 520};
    const RemoteBlock block(installer.Process(), sizeof suggested);
    block.Write(0, &suggested, sizeof suggested);
    SendMessageW(installer.Window(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(block.Address()));
    Settle(installer.Window());

    RECT moved{};
    GetWindowRect(installer.Window(), &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
    const SIZE size = ClientSize(installer.Window());
    EXPECT_EQ(size.cx, 741);
    EXPECT_EQ(size.cy, 480);
    ExpectLayout(installer, 144);
    for (size_t i = 0; i < started.size(); ++i) {
        const RECT now = RectInParent(installer.Control(kControls[i].id));
        EXPECT_EQ(now.right - now.left, started[i].right - started[i].left) << kControls[i].id;
        EXPECT_EQ(now.bottom - now.top, started[i].bottom - started[i].top) << kControls[i].id;
    }
    RedrawWindow(installer.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle(installer.Window());
    const std::vector<COLORREF> pixels = ClientPixels(installer.Window(), client);
    EXPECT_EQ(std::mismatch(pixels.begin(), pixels.end(), startedPixels.begin()).first - pixels.begin(),
              static_cast<ptrdiff_t>(pixels.size()))
        << "the welcome page looks as it does when started at 144 dpi";
}
