#include "install/RunningPrograms.h"

#include "system/Error.h"
#include "system/MessageText.h"
#include "system/ProgramClosing.h"

void CloseRunningPrograms(const HeldFolder& folder, Closing::Fate fate, InstallProgress& progress, LogSink& log) {
    std::vector<RunningCopy> copies = FindRunningCopies(folder.Path());
    if (copies.empty())
        return;
    ProgramClosing closing(std::move(copies), progress, log);
    for (StillRunning choice = StillRunning::Retry;;) {
        if (choice == StillRunning::Retry)
            closing.Close(fate);
        else
            closing.End();
        const unsigned running = closing.Running();
        if (!running)
            return;
        const std::wstring names = ProgramNames(running);
        choice = progress.ProgramsStillRunning(names);
        if (choice == StillRunning::Stop)
            Raise(FormatText(L"以下程序没有关闭，未做任何更改：%1", {names}), ERROR_PACKAGES_IN_USE);
    }
}
