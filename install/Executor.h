#pragma once

#include "install/Plan.h"

#include <string>

class LogSink;

// What carries out each kind of action on a machine.
class Operations {
  public:
    // Does the action in full, or raises an Error having left nothing of it.
    virtual void Do(const Action& action) = 0;
    // Undoes an action that was done. May raise; the executor logs that and
    // goes on with the rest.
    virtual void Undo(const Action& action) = 0;
    // The paths of the areas' folders, in the order of Area, for the log.
    virtual const AreaPaths& Folders() const = 0;

  protected:
    ~Operations() = default;
};

// Whether an action of that step has an undo.
bool Undoable(Step step);

// Runs the plan's actions in order, each logged with its time (status texts
// and notes as lines of their own). When one fails, every action done before
// it is undone, last first, each undo logged; an undo that fails is logged
// and the rest go on. The failure then goes on to the caller, as it was raised.
void Execute(const Plan& plan, Operations& operations, LogSink& log);
