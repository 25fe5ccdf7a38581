#pragma once

#include <exception>
#include <string>
#include <utility>

// The installer's one error type. It carries the text that the default error
// handler shows, fixed by the routine that fails, and the system's code for
// the failure where the system gave one (0 where the installer itself
// refused), so that the log can tell the cause beside the text.
class Error : public std::exception {
  public:
    explicit Error(std::wstring message, unsigned long code = 0) : message_(std::move(message)), code_(code) {}

    const std::wstring& Message() const noexcept { return message_; }
    unsigned long Code() const noexcept { return code_; }
    const char* what() const noexcept override { return "Zarvo setup error"; }

  private:
    std::wstring message_;
    unsigned long code_;
};

// Throw an Error. Called where a routine fails, they make the exception in
// one place rather than at each such place, with its clean-up if the making
// fails.
[[noreturn]] void Raise(const wchar_t* message, unsigned long code = 0);
[[noreturn]] void Raise(std::wstring&& message, unsigned long code = 0);

// The error being handled, in words: the one place where an exception becomes
// text. With `code`, the system's code follows where it gave one.
std::wstring CurrentErrorText(bool code = false);
