#pragma once

#include <windows.h>

#include <string>

// The system's own description of an error code, without its line end and
// closing full stop (the default error handler adds the stop back).
std::wstring SystemErrorText(DWORD code);

// Raises the system's description of the error code, with the code.
[[noreturn]] void RaiseSystemError(DWORD code);

// Calls `call` with the text and `buffer` until what it writes fits, the
// buffer grown to the length asked for: a call gives the length that it wrote,
// or where the buffer is too small the length that it needs, or 0 where it
// fails, as the system's path calls do. Gives the length written, 0 where the
// call failed; the buffer keeps its grown size.
DWORD GrowToFit(const wchar_t* text, std::wstring& buffer, DWORD (*call)(const wchar_t* text, std::wstring& buffer));

// The path as the system would resolve it against the current directory.
std::wstring FullPath(const std::wstring& path);

// The long form of a path that exists, so that its names compare with those
// the system reports; the path as it is otherwise.
std::wstring LongPath(const std::wstring& path);
