#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The error box ends a sentence with a full stop unless the text already ends
// in punctuation at or below '.', such as a stop or a closing quote.
std::wstring WithFullStop(std::wstring text);

// The text of an I/O error with the system's error code, as raised when a
// folder cannot be created.
std::wstring IoErrorMessage(unsigned long code);

// The number in decimal digits. Formatting through the C library's wide printf
// would bring its floating-point machinery into the installer for one number.
std::wstring DecimalText(unsigned long value);

// A number of bytes in megabytes with one decimal ("12.4"), rounded up or
// down to the tenth.
std::wstring MegabytesText(unsigned long long bytes, bool roundUp);

// The pattern with each "%1" to "%9" replaced by that argument: one message
// in one piece, instead of a chain of strings joined at each place it is made.
std::wstring FormatText(const wchar_t* pattern, std::initializer_list<std::wstring_view> arguments);
