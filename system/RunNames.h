#pragma once

#include <string>

// The names under which one installation keeps its work beside the files it
// replaces, until the whole installation has succeeded: the new file written
// in full ("Zarvo.exe.zs-1a2b3c4d-new"), the file it replaces kept aside
// ("Zarvo.exe.zs-1a2b3c4d-old"), and, in the install folder, a marker that
// the run got past its last change ("zs-1a2b3c4d-done") and the journal of the
// registry's values as they were before the run ("zs-1a2b3c4d-journal"). Each run has a tag of
// its own, so that a later run can tell what an earlier one left and finish or
// undo it.

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
