#pragma once

#include "system/ClosingRule.h"
#include "system/RunningCopies.h"

#include <string>
#include <vector>

class LogSink;

// What closing running programs needs of its caller while it waits.
class CloseWatcher {
  public:
    // The file names of the programs still waited for, whenever they change.
    virtual void Waiting(const std::vector<std::wstring>& names) = 0;
    // Handles whatever is pending for the caller's window, so that it
    // repaints and takes input.
    virtual void Pump() = 0;

  protected:
    ~CloseWatcher() = default;
};

// Closes running copies as Windows closes programs for an update: each of
// their windows is asked whether the program may close, then told that its
// session ends, when it saves its work; one that is still running is asked to
// close its windows, and one that will not close, or has no window to ask, is
// ended last. All are asked at once and waited for together on the calling
// thread, with its messages handled meanwhile; the log says of each program
// whether it closed or was ended, why, and when.
class ProgramClosing {
  public:
    ProgramClosing(std::vector<RunningCopy> copies, CloseWatcher& watcher, LogSink& log);
    ~ProgramClosing();
    ProgramClosing(const ProgramClosing&) = delete;
    ProgramClosing& operator=(const ProgramClosing&) = delete;

    // Asks every copy still running, afresh, and waits. Unattended, one that
    // will not close is ended at the bound, and none runs on return;
    // otherwise it returns as soon as nothing more is to be expected of those
    // still running, for the user to choose.
    void Close(bool unattended);
    // Ends those still running, at once.
    void End();
    // The images of the copies still running.
    std::vector<std::wstring> Running() const;

  private:
    struct Program;
    struct Link;

    static void CALLBACK Answered(HWND window, UINT message, ULONG_PTR link, LRESULT result);
    void Take(HWND window, UINT message, LRESULT result) noexcept;
    void Detach() noexcept;
    void FindWindows();
    void Ask(Program& program);
    void Tell(Program& program);
    void Force(Program& program);
    void Gone(Program& program);
    void Wait(bool unattended);
    unsigned long Now() const { return GetTickCount() - start_; }

    std::vector<Program> programs_;
    CloseWatcher& watcher_;
    LogSink& log_;
    // The round of asking that answers count for.
    Link* link_ = nullptr;
    DWORD start_ = 0;
};
