#pragma once

#include <windows.h>

// What a screen reader is told about a control beyond what the system's own
// description of it says: a name, a role and a description.
struct AccessibleText {
    const wchar_t* name;
    const wchar_t* description;  // null: none
    LONG role;                   // 0: the system's
};

// The answer to WM_GETOBJECT for the control's client area: the system's
// accessible object of the control, with the name, role and description
// given. 0 (the system answers) for any other object, or where the system
// has no accessibility library.
LRESULT AnswerAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, const AccessibleText& text);
