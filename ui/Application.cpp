#include "ui/Application.h"

#include "system/Error.h"
#include "system/MessageText.h"

void Application::Run(HWND dialogWindow) {
    dialogWindow_ = dialogWindow;
    MSG msg;
    while (!terminated_) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
            break;
        // The dialog manager gives the wizard Tab navigation between controls.
        if (!IsDialogMessageW(dialogWindow_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        if (!dialogWindow_ || !IsDialogMessageW(dialogWindow_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

int Application::Message(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    log_.Line(text);
    if (!boxes_)
        return IDOK;
    const int answer = MessageBoxW(owner, text, caption, type);
    if ((type & MB_TYPEMASK) != MB_OK)
        log_.Line({kAnswerLine, answer == IDOK         ? kOkWord
                                : answer == IDTRYAGAIN ? kRetryWord
                                : answer == IDCONTINUE ? kContinueWord
                                                       : kCancelWord});
    return answer;
}

void Application::ShowCurrentException(HWND owner) noexcept {
    Message(owner, WithFullStop(CurrentErrorText()).c_str(), kTitle, MB_OK | MB_ICONERROR);
}
