#pragma once

#include "system/ComPtr.h"

#include <windows.h>
// Before shldisp.h: its ShellExecute macro then names the scripting method
// the same way in the declaration and in the call.
#include <shellapi.h>
#include <shldisp.h>

#include <string>

// Starts programs and opens web pages as the signed-in user would. An elevated
// installer would hand its full administrator rights to a browser that then
// opens pages from the internet with them. Where the installer runs elevated
// beside the user's unelevated programs, the user's own desktop shell does the
// starting, or nothing is started: a shell that is missing or fails is asked
// once more after a short wait (it may be restarting), and after that the
// start is skipped, as a failed start always is. Without such a split (Windows
// 2000 and XP, user account control off) ShellExecuteW is called as it stands.
class UserShell {
  public:
    UserShell();

    // The arguments of ShellExecuteW; a null verb is the default action, a
    // null parameters or directory text none.
    void Execute(HWND owner,
                 const wchar_t* verb,
                 const std::wstring& file,
                 const wchar_t* parameters,
                 const wchar_t* directory,
                 int show);

  private:
    bool ExecuteThroughDesktop(const wchar_t* verb,
                               const std::wstring& file,
                               const wchar_t* parameters,
                               const wchar_t* directory,
                               int show);

    // The desktop shell's scripting object while it answers.
    ComPtr<IShellDispatch2> desktop_;
    bool elevated_;
    // Set once the shell has failed twice: later starts are skipped at once.
    bool unavailable_ = false;
};
