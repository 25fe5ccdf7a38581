#pragma once

#include <string>

// The names under which a run keeps its work beside the files it replaces
// ("Zarvo.exe.zs-1a2b3c4d-new", "…-old", "zs-1a2b3c4d-done", "…-journal"): the
// tag tells a later run what an earlier one left, to finish or undo it.

enum class RunNameKind { None, New, Old, Done, Journal };

struct RunName {
    RunNameKind kind = RunNameKind::None;
    std::wstring tag;       // "1a2b3c4d"
    std::wstring original;  // the name the file stands for; empty for a marker or journal
};

// Eight hexadecimal digits of the given number.
std::wstring RunTag(unsigned long number);

std::wstring NewName(const std::wstring& original, const std::wstring& tag);
std::wstring OldName(const std::wstring& original, const std::wstring& tag);
std::wstring DoneName(const std::wstring& tag);
std::wstring JournalName(const std::wstring& tag);

// What a file name found in a folder is, if it is one of those names.
RunName ParseRunName(const std::wstring& name);
