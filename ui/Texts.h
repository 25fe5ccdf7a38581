#pragma once

// Texts of the setup wizard pages (UTF-16 on Windows). Each line of a text,
// the last one included, ends with "\r\n".

// Welcome page: what the browser is and what the new version fixes.
extern const wchar_t kWelcomeText[];

// Directory page: the note above the install folder box.
extern const wchar_t kDirectoryText[];

// Licence page: readme and licence agreement, in lines that fit the box.
extern const wchar_t kLicenceText[];
