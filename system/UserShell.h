#pragma once

#include "system/ComPtr.h"

#include <windows.h>
// Before shldisp.h: its ShellExecute macro then names the scripting method
// the same way in the declaration and in the call.
#include <shellapi.h>
#include <shldisp.h>

#include <string>

// Starts programs and opens web pages as the signed-in user would. An elevated
// installer would hand its full administrator token to a browser that then
// opens pages from the internet with it; where the user's own desktop shell
// runs unelevated beside it, that shell does the starting instead. Where there
// is no such shell, or asking it fails, ShellExecuteW is called as it stands.
class UserShell {
  public:
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

    // The desktop shell's scripting object, looked up at the first use.
    ComPtr<IShellDispatch2> desktop_;
    bool lookedUp_ = false;
};
