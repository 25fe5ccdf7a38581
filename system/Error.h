#pragma once

#include <exception>
#include <string>
#include <utility>

// The installer's one error type. It carries the text that the default error
// handler shows; the texts are fixed by the routine that fails.
class Error : public std::exception {
  public:
    explicit Error(std::wstring message) : message_(std::move(message)) {}

    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "Zarvo setup error"; }

  private:
    std::wstring message_;
};
