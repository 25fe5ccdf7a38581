#pragma once

#include "install/Plan.h"

#include <string>

class LogSink;

// How far the installation is, for the window: the one thing it asks of the
// program that runs it.
class InstallProgress {
  public:
    // Sets the status text; with `pump`, the window then handles whatever is
    // pending, so that it repaints.
    virtual void ShowStatus(const std::wstring& text, bool pump) = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void AdvanceProgress(int amount) = 0;

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
    // How the log names the action, and whether it has an undo.
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
