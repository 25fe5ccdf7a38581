#pragma once

#include "system/Handles.h"
#include "system/LogSink.h"

#include <initializer_list>
#include <string>
#include <string_view>

// The record of a run: UTF-8 text, written as it happens, so that the file
// shows how far a run came. Until a file is opened, lines go nowhere.
class RunLog final : public LogSink {
  public:
    // Open's answer for a log that would lie in the folder kept apart: a
    // code of the program's own, as Windows leaves bit 29 for.
    static constexpr DWORD kInFolderKeptApart = 0x20000001;

    // Starts the file afresh: a file of its own (no stream or device), reached
    // from its root through no link and made anew under the name, so that no
    // file elsewhere, nor one of another account's, is written with our
    // rights; never in the folder `apart` or below it, as the system knows
    // both folders whatever the spelling, where it would replace the files
    // that the run installs or removes. Gives 0, or the system's code why it
    // cannot.
    DWORD Open(const std::wstring& path, const std::wstring& apart = {});

    void Step(std::wstring_view text) override;
    void Line(std::initializer_list<std::wstring_view> parts) override;
    using LogSink::Line;

  private:
    void EndStep();
    void Write(std::initializer_list<std::wstring_view> parts);

    UniqueHandle file_;
    bool inStep_ = false;
    DWORD stepStart_ = 0;
};
