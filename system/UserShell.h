#pragma once

#include "system/ComPtr.h"
#include "system/StartRoute.h"

#include <windows.h>
// Before shldisp.h: its ShellExecute macro then names the scripting method
// the same way in the declaration and in the call.
#include <shellapi.h>
#include <shldisp.h>

#include <optional>
#include <string>

// Starts programs and web pages as the user at the desktop would, never with
// the installer's rights unless the shell has them too (PlanStarts); a shell
// that is missing is looked for once more, then the starts are skipped.
class UserShell {
  public:
    UserShell();

    // The arguments of ShellExecuteW; a null verb is the default action, a
    // null parameters or directory text none. False where the start was
    // skipped: no shell to hand it to.
    bool Execute(HWND owner,
                 const wchar_t* verb,
                 const wchar_t* file,
                 const wchar_t* parameters,
                 const wchar_t* directory,
                 int show);

    // The SID text of the user at the desktop where that user's settings
    // belong into another hive than the installer's own; else empty.
    std::wstring DesktopUser();

  private:
    // The desktop shell, found and judged once while it answers.
    const StartPlan& Plan();
    bool ExecuteThroughDesktop(const wchar_t* verb,
                               const wchar_t* file,
                               const wchar_t* parameters,
                               const wchar_t* directory,
                               int show);

    std::optional<TokenFacts> own_;
    std::optional<StartPlan> plan_;
    // The desktop shell's scripting object, where it has one.
    ComPtr<IShellDispatch2> desktop_;
    // Set once the shell has been missed or failed twice: later starts are
    // skipped at once.
    bool unavailable_ = false;
};
