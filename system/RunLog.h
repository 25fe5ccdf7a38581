#pragma once

#include "system/Handles.h"

#include <string>

// The record of an unattended run: UTF-8 text, a line for each call, written
// as it happens, so that the file shows how far a run came. Others may read it
// meanwhile. Until a file is opened, lines go nowhere.
class RunLog {
  public:
    // Starts the file afresh; false when it cannot be created.
    bool Open(const std::wstring& path);
    void Line(const std::wstring& text);

  private:
    void Write(const char* bytes, DWORD size);

    UniqueHandle file_;
};
