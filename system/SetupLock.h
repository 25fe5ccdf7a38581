#pragma once

#include "system/Handles.h"

// One setup of the product at a time on the machine, in whichever session
// and by whichever account it runs: the holder keeps a file in the system's
// Windows folder open, shared with nobody, and the system deletes it when the
// holder ends, however it ends. Only administrators may make a file there, and
// the file lets nobody else open it, so an ordinary account can neither hold
// the name to keep every setup out nor put anything of its own in its place;
// a file left by a run that a power cut ended is simply taken over. Windows
// 2000 and XP, which have no private object namespaces, work the same way.
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
