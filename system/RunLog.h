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
    // Starts the file afresh, or false with the system's error code. The
    // path must name a file of its own within the system's limit of length,
    // not a stream or a device. The folder must be the one named: it is
    // reached from the root of its drive or share one name at a time, and a
    // link anywhere on the way refuses it.
    // A new file is made through the folder's handle and takes the name from
    // whatever stood there, which goes as a name only, so that no file
    // elsewhere is ever written with the installer's rights and no file of
    // another account's is written at all.
    bool Open(const std::wstring& path, DWORD& error);

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
