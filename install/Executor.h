#pragma once

#include "install/Plan.h"
#include "system/ClosingRule.h"

#include <string>

class LogSink;

// What the user chose about running programs that will not close.
enum class StillRunning : std::uint8_t { Retry, End, Stop };

// How far the installation is, for the window, and what only the program that
// runs it can answer: the one thing the installation asks of that program.
class InstallProgress : public Closing::CloseWatcher {
  public:
    virtual void SetProgressMax(int maximum) = 0;
    virtual void AdvanceProgress(int amount) = 0;
    // What to do about the programs named, which were asked to close and
    // still run: the user's choice, or unattended, to stop.
    virtual StillRunning ProgramsStillRunning(const std::wstring& names) = 0;

  protected:
    ~InstallProgress() = default;
};

// What carries out the actions that change the machine.
class Operations {
  public:
    // Does the action in full, or raises an Error having left nothing of it.
    virtual void Do(const Action& action) = 0;
    // Undoes an action that was done. May raise; the executor logs that and
    // goes on with the rest.
    virtual void Undo(const Action& action) = 0;
    // How the log names the action (a note: as it turned out by then), and
    // whether it has an undo.
    virtual std::wstring Describe(const Action& action) const = 0;
    virtual bool Undoable(const Action& action) const = 0;

  protected:
    ~Operations() = default;
};

// Runs the plan, logging each action; at a failure, undoes the changes done,
// last first (an undo that fails is logged, the rest go on), and raises on.
void Execute(const Plan& plan, Operations& operations, LogSink& log, InstallProgress* progress = nullptr);

// Undoes the changes of a plan that was done in full, last first, as Execute
// undoes them at a failure.
void Undo(const Plan& plan, Operations& operations, LogSink& log);
