#pragma once

#include "system/Handles.h"

// One setup at a time on the machine, in any session: a file in the Windows
// folder held shared with nobody, which only administrators may make or open,
// so that no ordinary account can hold or replace it (no namespaces on 2000/XP).
class SetupLock {
  public:
    SetupLock();

    // Whether another setup holds the lock. A lock that cannot be had for any
    // other reason does not stop the run.
    bool HeldElsewhere() const { return heldElsewhere_; }

  private:
    UniqueHandle file_;
    bool heldElsewhere_ = false;
};
