#pragma once

#include "system/ClosingRule.h"
#include "system/RunningCopies.h"

#include <string>
#include <vector>

class LogSink;

// Closes running copies as Windows closes programs for an update: each of
// their windows is asked whether the program may close, then told that its
// session ends, when it saves its work; one that is still running is asked to
// close its windows, and one that will not close is ended last. One without a
// window to ask is waited for while a windowed copy is, which may tell it to
// save, and ended only once they are gone or at the bound. All are asked at once and waited for together on the calling
// thread, with its messages handled meanwhile; the log says of each program
// whether it closed or was ended, why, and when.
class ProgramClosing {
  public:
    ProgramClosing(std::vector<RunningCopy> copies, Closing::CloseWatcher& watcher, LogSink& log);
    ~ProgramClosing();
    ProgramClosing(const ProgramClosing&) = delete;
    ProgramClosing& operator=(const ProgramClosing&) = delete;

    // Asks every copy still running, afresh, and waits until each has closed,
    // been ended or been handed back, as `fate` says of those that will not
    // close (system/ClosingRule.h).
    void Close(Closing::Fate fate);
    // Ends those still running, at once.
    void End();
    // The programs of the copies still running, as bits of ProgramNames.
    unsigned Running() const;
    // Adds to `closed` whose the copies of that program were that have closed
    // or been ended.
    void Closed(unsigned program, std::vector<ClosedCopy>& closed) const;

  private:
    struct Program;
    struct Link;

    static BOOL CALLBACK ListWindow(HWND window, LPARAM self);
    static void CALLBACK Answered(HWND window, UINT message, ULONG_PTR link, LRESULT result);
    void Take(HWND window, UINT message, LRESULT result) noexcept;
    void Detach() noexcept;
    void FindWindows();
    void Ask(Program& program);
    void Tell(Program& program);
    void Force(Program& program);
    void Gone(Program& program);
    // Where the copies with windows stand, for those without.
    Closing::Windowed WindowedCopies() const;
    // With `now`, ends each copy still running at once.
    void Wait(Closing::Fate fate, bool now = false);
    unsigned long Now() const { return GetTickCount() - start_; }

    std::vector<RunningCopy> copies_;
    // Each copy's state, in the order of the copies.
    std::vector<Program> programs_;
    Closing::CloseWatcher& watcher_;
    LogSink& log_;
    // The round of asking that answers count for.
    Link* link_ = nullptr;
    DWORD start_ = 0;
};
