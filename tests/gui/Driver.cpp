#include "tests/gui/Driver.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace {

std::wstring& PathStore() {
    static std::wstring path;
    return path;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct TopSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (pid == search->processId && IsWindowVisible(window) &&
        (!search->className || wcscmp(name, search->className) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopWindow(DWORD processId, const wchar_t* className) {
    TopSearch search{processId, className, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindControl(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

const std::wstring& InstallerPath() {
    return PathStore();
}

void SetInstallerPath(const std::wstring& path) {
    PathStore() = path;
}

DWORD_PTR Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered) {
    DWORD_PTR result = 0;
    const bool ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kPatience, &result) != 0;
    if (answered)
        *answered = ok;
    return result;
}

void Settle(HWND window) {
    Ask(window, WM_NULL, 0, 0);
}

Installer::Installer(const std::wstring& path, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + path + L"\" " + arguments;
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        throw std::runtime_error("cannot start the installer");
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
}

Installer::~Installer() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kPatience);
    }
}

bool Installer::WaitForExit(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD Installer::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool Installer::ShowsAnyWindow() const {
    return FindTopWindow(processId_, nullptr) != nullptr;
}

bool Installer::ShowsWizard() const {
    return FindTopWindow(processId_, L"TInstallForm") != nullptr;
}

HWND Installer::Window() {
    if (!window_) {
        // The window can be found before its controls exist: wait for both.
        WaitUntil([this] {
            HWND window = FindTopWindow(processId_, L"TInstallForm");
            if (window && FindControl(window, CheckBoxSetIEHome))
                window_ = window;
            return window_ != nullptr || !Running();
        });
    }
    return window_;
}

HWND Installer::Control(ControlId id) {
    HWND window = Window();
    return window ? FindControl(window, id) : nullptr;
}

HWND Installer::WaitForMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindTopWindow(processId_, L"#32770")) != nullptr; }, timeoutMs);
    return box;
}

HWND Installer::MessageBoxBeforeExit() const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindTopWindow(processId_, L"#32770")) != nullptr || !Running(); });
    return box;
}

std::wstring Text(HWND window) {
    bool answered = false;
    const DWORD_PTR length = Ask(window, WM_GETTEXTLENGTH, 0, 0, &answered);
    if (!answered)
        return {};
    std::wstring text(length + 1, L'\0');
    text.resize(Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
}

bool Visible(HWND window) {
    return window && IsWindowVisible(window);
}

bool Enabled(HWND window) {
    return window && IsWindowEnabled(window);
}

bool Checked(HWND checkBox) {
    return Ask(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Press(HWND button) {
    if (!Visible(button) || !Enabled(button))
        return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

namespace {

// Runs xdotool's commands once the control's window holds the X server's
// focus, which the host's shell waits for: where Wine has just given it the
// focus, its request may not have reached the server yet.
bool Xdotool(HWND control, const std::wstring& commands) {
    // Wine names the X window of each top-level window in a property of it.
    const auto xWindow =
        reinterpret_cast<UINT_PTR>(GetPropW(GetAncestor(control, GA_ROOT), L"__wine_x11_whole_window"));
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring mark = std::wstring(temp) + L"zarvo-xdotool.done";
    DeleteFileW(mark.c_str());
    return xWindow && RunHost(L"timeout",
                              std::to_wstring(kPatience / 1000) +
                                  L" sh -c \"until xdotool getwindowfocus -f | grep -qx " + std::to_wstring(xWindow) +
                                  L"; do sleep 0.05; done; xdotool " + commands + L" && : >'" + HostPath(mark) + L"'\"",
                              mark, true);
}

}  // namespace

bool TypeKeys(HWND control, const std::wstring& keys) {
    return WaitUntil([&] { return Focus(control) == control || !IsWindow(control); }) && IsWindow(control) &&
           Xdotool(control, L"key " + keys);
}

bool Click(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const POINT point{rect.left + 8, rect.top + 8};
    const auto ready = [&] { return Visible(control) && Enabled(control) && WindowFromPoint(point) == control; };
    return WaitUntil([&] { return ready() || !IsWindow(control); }) && ready() &&
           Xdotool(control, L"mousemove " + std::to_wstring(point.x) + L" " + std::to_wstring(point.y) + L" click 1");
}

namespace {

// The colours of a rectangle of the screen, row by row.
std::vector<COLORREF> ScreenPixels(int x, int y, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    UniqueGdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ old = SelectObject(memory, bitmap.get());
    BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory, static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // The bitmap holds blue in the low byte; a COLORREF red.
    for (COLORREF& pixel : pixels)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
    return pixels;
}

BOOL CALLBACK NoPaintDue(HWND control, LPARAM painted) {
    if (IsWindowVisible(control) && GetUpdateRect(control, nullptr, FALSE))
        *reinterpret_cast<bool*>(painted) = false;
    return TRUE;
}

// Whether the window and every control in it have begun to paint all that
// was marked for painting.
bool Painted(HWND window) {
    bool painted = !GetUpdateRect(window, nullptr, FALSE);
    EnumChildWindows(window, NoPaintDue, reinterpret_cast<LPARAM>(&painted));
    return painted;
}

// The pixels once what the window paints is on the screen: every paint begun,
// then ended (the thread handles a message after it), and the screen given
// the time to show it, which two pictures in a row that agree tell.
std::vector<COLORREF> PaintedPixels(HWND window, const std::function<std::vector<COLORREF>()>& take) {
    WaitUntil([&] { return Painted(window); });
    Settle(window);
    std::vector<COLORREF> last = take();
    WaitUntil([&] {
        std::vector<COLORREF> now = take();
        const bool same = now == last;
        last = std::move(now);
        return same;
    });
    return last;
}

}  // namespace

std::vector<COLORREF> ClientPixels(HWND window, const RECT& area) {
    POINT origin{area.left, area.top};
    ClientToScreen(window, &origin);
    return PaintedPixels(
        window, [&] { return ScreenPixels(origin.x, origin.y, area.right - area.left, area.bottom - area.top); });
}

RECT RectInWindow(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

DWORD RunHidden(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    DWORD code = STILL_ACTIVE;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &info)) {
        const UniqueHandle process(info.hProcess), thread(info.hThread);
        WaitForSingleObject(info.hProcess, 4 * kPatience);
        GetExitCodeProcess(info.hProcess, &code);
    }
    return code;
}

std::wstring MessageBoxText(HWND box) {
    return Text(GetDlgItem(box, 0xFFFF));
}

bool MessageBoxHasButton(HWND box, int id) {
    return Visible(GetDlgItem(box, id));
}

void Answer(HWND box, int id) {
    PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::wstring& keyPath, const std::wstring& name)
    : root_(root), keyPath_(keyPath), name_(name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    UniqueHKey owned(key);
    DWORD size = 0;
    if (RegQueryValueExW(key, name_.c_str(), nullptr, &type_, nullptr, &size) != ERROR_SUCCESS)
        return;
    saved_.resize(size);
    existed_ = RegQueryValueExW(key, name_.c_str(), nullptr, &type_, saved_.data(), &size) == ERROR_SUCCESS;
}

ScopedRegistryValue::~ScopedRegistryValue() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    UniqueHKey owned(key);
    if (existed_)
        RegSetValueExW(key, name_.c_str(), 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
    else
        RegDeleteValueW(key, name_.c_str());
}

void ScopedRegistryValue::SetString(const std::wstring& text) {
    HKEY key = nullptr;
    RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    UniqueHKey owned(key);
    RegSetValueExW(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryValue::SetDword(DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    UniqueHKey owned(key);
    RegSetValueExW(key, name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void ScopedRegistryValue::Remove() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, keyPath_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    UniqueHKey owned(key);
    RegDeleteValueW(key, name_.c_str());
}

namespace {

void PutBigEndian(std::string& out, uLong value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
    PutBigEndian(png, static_cast<uLong>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    PutBigEndian(png, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

}  // namespace

void SaveScreenshot(HWND window, const std::wstring& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const std::vector<COLORREF> pixels =
        PaintedPixels(window, [&] { return ScreenPixels(rect.left, rect.top, width, height); });

    // PNG rows: a filter byte, then RGB.
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = pixels[static_cast<size_t>(y) * width + x];
            raw += {static_cast<char>(GetRValue(pixel)), static_cast<char>(GetGValue(pixel)),
                    static_cast<char>(GetBValue(pixel))};
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<uLong>(width));
    PutBigEndian(header, static_cast<uLong>(height));
    header += {8, 2, 0, 0, 0};  // 8 bits, RGB, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");

    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        throw std::runtime_error("cannot write the screenshot");
    fwrite(png.data(), 1, png.size(), file);
    fclose(file);
}
