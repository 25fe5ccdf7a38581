#pragma once

#include <windows.h>

#include <string>

class RunLog;

// What the toolkit offers the form: the message loop, the pump that the
// installation uses between its steps, the end request, message boxes, and
// the one place where an error that leaves a handler is shown.
class Application {
  public:
    static constexpr const wchar_t* kTitle = L"泽沃浏览器安装程序";

    // An unattended run shows no box: what a box would say goes to the run's
    // log instead, as answered OK, and so do the steps that the window shows.
    void RunUnattended(RunLog& log) { log_ = &log; }

    int Message(HWND owner, const std::wstring& text, const wchar_t* caption, UINT type);
    // A step of the work, as the window tells it to the user.
    void Note(const std::wstring& text);

    // Runs the message loop of `dialogWindow` until Terminate has been asked for.
    void Run(HWND dialogWindow);

    // Handles every pending message without waiting for new ones. A quit request
    // met here is remembered and ends Run once control gets back there.
    void ProcessMessages();

    void Terminate();

    // Runs one handler; an error that leaves it is shown by the default error
    // handler and goes no further.
    template <typename Handler>
    void Guard(HWND owner, Handler&& handler) noexcept {
        try {
            handler();
        } catch (...) {
            ShowCurrentException(owner);
        }
    }

    // The default error handler: shows the error being handled in a message box.
    void ShowCurrentException(HWND owner) noexcept;

  private:
    bool terminated_ = false;
    HWND dialogWindow_ = nullptr;
    RunLog* log_ = nullptr;
};
