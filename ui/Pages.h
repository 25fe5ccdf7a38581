#pragma once

#include "ui/WindowDefinition.h"

// What the window shows with a page of the wizard: the bottom bar's buttons.
// The pages' order, which numbers the steps, is the navigator's.
struct PageDef {
    ControlId page;
    // The next button's caption; none: the finish button takes its place.
    const wchar_t* nextCaption;
    bool back;     // the back button shown
    bool forward;  // the next button enabled
    bool cancel;   // the cancel button enabled
};
