#pragma once

#include <initializer_list>
#include <string_view>

// Where a run writes what it does.
class LogSink {
  public:
    // A step of the work: its line is written as it begins and ends with the
    // time it took once the next line comes.
    virtual void Step(std::wstring_view text) = 0;
    // A line of its own, in parts; the step before it ends there.
    virtual void Line(std::initializer_list<std::wstring_view> parts) = 0;
    void Line(std::wstring_view text) { Line({text}); }

  protected:
    ~LogSink() = default;
};
