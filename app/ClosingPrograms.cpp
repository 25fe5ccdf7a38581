#include "app/InstallMain.h"
#include "system/MessageText.h"
#include "system/RunningCopies.h"

// The boxes about the product's programs that run from the install folder:
// the user saves first, and chooses what becomes of one that will not close.

bool TInstallForm::ProgramsMayClose() {
    // Without a user, the installation closes them as the command line says.
    if (closingFate_ != Closing::Fate::Ask)
        return true;
    unsigned running = 0;
    for (const RunningCopy& copy : FindRunningCopies(installFolder_.path))
        running |= 1u << copy.program;
    if (!running ||
        application_.Message(window_.Handle(),
                             FormatText(L"以下程序正在运行：%1\r\n\r\n安装时将关闭它们，请先保存其中的工作。"
                                        L"按“确定”继续，按“取消”返回，不做任何更改。",
                                        {ProgramNames(running)})
                                 .c_str(),
                             Application::kTitle, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        return true;
    // A folder that programs run from was there before the check: it made
    // nothing, and only lets the folder go.
    installFolder_.held = HeldFolder();
    return false;
}

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
    return StillRunning::Stop;
}
