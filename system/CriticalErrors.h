#pragma once

#include <windows.h>

// Suppresses the system's critical-error boxes (a drive without a medium) for
// the length of a scope.
class CriticalErrorsQuiet {
  public:
    CriticalErrorsQuiet() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    CriticalErrorsQuiet(const CriticalErrorsQuiet&) = delete;
    CriticalErrorsQuiet& operator=(const CriticalErrorsQuiet&) = delete;
    ~CriticalErrorsQuiet() { SetErrorMode(previous_); }

  private:
    UINT previous_;
};
