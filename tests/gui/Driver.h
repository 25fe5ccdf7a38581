#pragma once

#include "system/Handles.h"
#include "tests/win/Probe.h"
#include "ui/WindowDefinition.h"

#include <windows.h>

#include <string>
#include <vector>

// Drives the real installer from another process, as a user would: it finds
// the windows, reads what they show and presses what a user could press.

// The installer under test, given to the test program on its command line.
const std::wstring& InstallerPath();
void SetInstallerPath(const std::wstring& path);

// Sends a message to a window of the installer; its answer, and whether it
// came. Not given up as hung: on a loaded machine the installer's thread can
// go seconds without a look at its messages, which Wine counts as hung.
DWORD_PTR Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool* answered = nullptr);

// Returns once the window's thread has finished what it was doing: what is
// read from outside without a message (visibility, say) can change in the
// middle of a handler.
void Settle(HWND window);

class Installer {
  public:
    // Starts the installer (the one under test unless another copy is named)
    // with the arguments given.
    explicit Installer(const std::wstring& path = InstallerPath(), const std::wstring& arguments = L"");
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;
    ~Installer();

    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_.get(); }
    bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    bool WaitForExit(DWORD timeoutMs = kPatience) const;
    DWORD ExitCode() const;
    // Whether any window of the installer is on screen; the wizard's window.
    bool ShowsAnyWindow() const;
    bool ShowsWizard() const;

    // The wizard window once it is visible with its controls; waits for it.
    HWND Window();
    HWND Control(ControlId id);
    // A visible message box of the installer, if one appears in time.
    HWND WaitForMessageBox(DWORD timeoutMs = kPatience) const;
    // Waits until the installer shows a message box or ends; the box, if it
    // showed one. Where the installer is to end, this tells that it asked
    // nothing first, however slow the machine.
    HWND MessageBoxBeforeExit() const;

  private:
    UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// Runs the command line as it stands, as Windows and deployment tools start
// one: no window; its exit code once it ends.
DWORD RunHidden(std::wstring line);

std::wstring Text(HWND window);
bool Visible(HWND window);
bool Enabled(HWND window);
bool Checked(HWND checkBox);
SIZE ClientSize(HWND window);
// Position of a control relative to its parent's client area.
RECT RectInParent(HWND control);

// Presses a button the way a user can: only when it is visible and enabled.
// Returns at once, even when the press opens a modal box.
bool Press(HWND button);

// The control that has the keyboard focus in the thread of that window.
HWND Focus(HWND window);
// Real key presses (xdotool's key names) and clicks: X events on the display
// that Wine draws on, which reach the installer through its own message loop
// as a user's do. Each is sent only once the control is ready for it: it has
// the keyboard focus (keys) or shows, takes input and is uppermost at the
// point (a click), and its window holds the X server's focus. Sent earlier,
// on a slow machine, an event goes nowhere. False if that never comes.
bool TypeKeys(HWND control, const std::wstring& keys);
bool Click(HWND control);

// A message box: its text, caption and answer.
std::wstring MessageBoxText(HWND box);
bool MessageBoxHasButton(HWND box, int id);
void Answer(HWND box, int id);

// Memory in the installer's process, for messages that carry pointers.
class RemoteBlock {
  public:
    RemoteBlock(HANDLE process, SIZE_T size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* Address() const { return static_cast<char*>(address_); }
    void Write(SIZE_T offset, const void* data, SIZE_T size) const {
        WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
    }
    void Read(SIZE_T offset, void* data, SIZE_T size) const {
        ReadProcessMemory(process_, Address() + offset, data, size, nullptr);
    }

  private:
    HANDLE process_;
    void* address_;
};

// The colours on screen of a rectangle of a window's client area, row by row,
// once the window has painted what it had to.
std::vector<COLORREF> ClientPixels(HWND window, const RECT& area);
// A control's rectangle in its window's client area.
RECT RectInWindow(HWND control);

// Sets a registry value for the length of a test and puts the old one back.
class ScopedRegistryValue {
  public:
    ScopedRegistryValue(HKEY root, const std::wstring& keyPath, const std::wstring& name);
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue();

    void SetString(const std::wstring& text);
    void SetDword(DWORD value);
    void Remove();

  private:
    HKEY root_;
    std::wstring keyPath_, name_;
    bool existed_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> saved_;
};

// Writes the window's image on screen, frame included, as a PNG file, once
// the window has painted what it had to.
void SaveScreenshot(HWND window, const std::wstring& path);
