#include "install/RunningPrograms.h"

#include "install/Texts.h"
#include "system/Error.h"
#include "system/MessageText.h"
#include "system/ProgramClosing.h"

namespace {

// How often the folder is looked at again for copies that started while the
// ones found were closing.
constexpr int kLooks = 3;

[[noreturn]] void RaiseInUse(const std::wstring& names) {
    Raise(FormatText(kProgramsDidNotCloseText, {names}), ERROR_PACKAGES_IN_USE);
}

}  // namespace

void CloseRunningPrograms(const HeldFolder& folder,
                          Closing::Fate fate,
                          InstallProgress& progress,
                          LogSink& log,
                          std::vector<ClosedCopy>& closed) {
    // A copy may start another as it closes, or its user one meanwhile: the
    // folder is looked at again until nothing of the product runs from it;
    // one that keeps coming back stops the run, nothing changed.
    for (int look = 0;; ++look) {
        std::vector<RunningCopy> copies = FindRunningCopies(folder.Path());
        if (copies.empty())
            return;
        if (look == kLooks) {
            unsigned running = 0;
            for (const RunningCopy& copy : copies)
                running |= 1u << copy.program;
            RaiseInUse(ProgramNames(running));
        }
        ProgramClosing closing(std::move(copies), progress, log);
        for (StillRunning choice = StillRunning::Retry;;) {
            if (choice == StillRunning::Retry)
                closing.Close(fate);
            else
                closing.End();
            const unsigned running = closing.Running();
            if (running)
                choice = progress.ProgramsStillRunning(ProgramNames(running));
            // The browsers that went, to be started again as their users.
            if (!running || choice == StillRunning::Stop)
                closing.Closed(0, closed);
            if (!running)
                break;
            if (choice == StillRunning::Stop)
                RaiseInUse(ProgramNames(running));
        }
    }
}
