#include "app/InstallMain.h"
#include "system/MessageText.h"

// The box about the product's programs that run from the install folder and
// will not close: the user chooses what becomes of them.

StillRunning TInstallForm::ProgramsStillRunning(const std::wstring& names) {
    // Unattended, only a command line that keeps them leaves them running.
    const int answer = closingFate_ != Closing::Fate::Ask
                           ? IDCANCEL
                           : application_.Message(window_.Handle(),
                                                  FormatText(L"以下程序没有关闭：%1\r\n\r\n按“重试”再请它们关闭；"
                                                             L"按“继续”强行结束它们，未保存的内容将丢失；"
                                                             L"按“取消”停止安装，不做任何更改。",
                                                             {names})
                                                      .c_str(),
                                                  Application::kTitle, MB_CANCELTRYCONTINUE | MB_ICONWARNING);
    if (answer == IDTRYAGAIN)
        return StillRunning::Retry;
    if (answer == IDCONTINUE)
        return StillRunning::End;
    stage_ = Stage::InUse;
    return StillRunning::Stop;
}
