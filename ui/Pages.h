#pragma once

#include "ui/WindowDefinition.h"

#include <cstdint>

// The wizard's states, as the step counter and the installation move it.
enum class WizardState : std::uint8_t { Welcome, Licence, Directory, Copying, Finished };

// What the window shows in a state: the page, the step label, and the bottom
// bar's buttons. Applied whole by one navigator (WizardWindow::Show).
struct PageDef {
    ControlId page;
    const wchar_t* stepLabel;
    // The next button's caption; none: the next button is hidden and the
    // finish button, which takes its place, shown.
    const wchar_t* nextCaption;
    bool back;     // the back button shown
    bool forward;  // the next button enabled
    bool cancel;   // the cancel button enabled
};

const PageDef& PageDefOf(WizardState state);
