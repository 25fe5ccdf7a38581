#pragma once

#include "system/RunLog.h"
#include "ui/Texts.h"

#include <windows.h>

#include <string>

// What the toolkit offers the form: the message loop, the pump that the
// installation uses between its steps, the end request, message boxes, the
// one place where an error that leaves a handler is shown, and the run's one
// log, where the steps, boxes and errors go from here.
class Application {
  public:
    static constexpr const wchar_t* kTitle = kBoxTitle;

    // The run's record; it takes nothing until it is opened.
    RunLog& Log() { return log_; }
    // From here on no box is shown: a run without a user to answer goes on
    // as if each box had been answered OK.
    void ShowNoBoxes() { boxes_ = false; }

    // Shows a message box and logs its text, and a question's answer.
    int Message(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

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
    RunLog log_;
    bool boxes_ = true;
};
