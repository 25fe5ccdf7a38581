#pragma once

// Texts of the setup wizard's pages and boxes (UTF-16 on Windows). Each line
// of a page's text, the last one included, ends with "\r\n".

// Welcome page: what the browser is and what the new version fixes.
extern const wchar_t kWelcomeText[];

// Directory page: the note above the install folder box.
extern const wchar_t kDirectoryText[];

// Licence page: readme and licence agreement, in lines that fit the box.
extern const wchar_t kLicenceText[];

// The step counter above the pages, whose two digits (at 3 and 7) are set to
// the page's number and the count.
extern const wchar_t kStepNumberText[11];

// The title of the installer's boxes.
extern const wchar_t kBoxTitle[];
// The log's line of the answer to a box, and the answers' words.
extern const wchar_t kAnswerLine[];
extern const wchar_t kOkWord[];
extern const wchar_t kRetryWord[];
extern const wchar_t kContinueWord[];
extern const wchar_t kCancelWord[];
