#pragma once

#include <string>

// Internet Explorer's start page, set to the partner navigation page, for the
// user of the SID text, whose hive must be loaded, or with an empty text for
// the installer's own user. False where nothing is written: the hive is not
// loaded, or a key on the way is a link.
bool WriteStartPage(const std::wstring& user);
