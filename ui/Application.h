#pragma once

#include <windows.h>

// What the toolkit offers the form: the message loop, the pump that the
// installation uses between its steps, the end request, and the one place where
// an error that leaves a handler is shown.
class Application {
  public:
    static constexpr const wchar_t* kTitle = L"泽沃浏览器安装程序";

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
    static void ShowCurrentException(HWND owner) noexcept;

  private:
    bool terminated_ = false;
    HWND dialogWindow_ = nullptr;
};
