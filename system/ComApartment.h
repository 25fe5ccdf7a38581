#pragma once

#include <objbase.h>

// COM for the GUI thread as a single-threaded apartment; uninitialised at the
// end only when the initialisation succeeded.
class ComApartment {
  public:
    ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialized_)
            CoUninitialize();
    }

  private:
    bool initialized_;
};
