#pragma once

#include <cstdint>
#include <string>

// When a running program that was asked to close is waited for, asked again,
// ended, or handed to the user: the rule alone, apart from the windows and
// processes it is applied to.
namespace Closing {

// A window that has not answered in this time is hung, as Windows calls a
// window hung after five seconds without taking a message.
inline constexpr unsigned long kHungMs = 5000;
// A program told that its session ends that is still running this long after
// it heard it is asked once more, as a window is closed.
inline constexpr unsigned long kGraceMs = 1000;
// A program that has not closed this long after it was asked is ended: time
// enough to write a session and a file, and far within a deployment tool's
// time-out.
inline constexpr unsigned long kBoundMs = 15000;

enum class Stage : std::uint8_t {
    Asked,    // its windows asked whether it may close
    Refused,  // one of them said no
    Told,     // all said yes, and each is told that the session ends
    Nudged,   // told, and then asked to close its windows
};

// Where one program stands, in milliseconds since it was asked.
struct Program {
    Stage stage = Stage::Asked;
    unsigned windows = 0;
    // Asked: the windows that said yes; told: those that have heard it.
    unsigned answers = 0;
    // When the last answer came.
    unsigned long since = 0;
};

enum class Move : std::uint8_t { Wait, Tell, Nudge, Force, HandBack };

// What becomes of a program that will not close.
enum class Fate : std::uint8_t {
    Ask,   // handed back as soon as nothing more is to be expected of it, for the user to choose
    End,   // ended at the bound, where nobody can be asked
    Keep,  // handed back at the bound, where nobody can be asked and nothing is to be ended
};

// Where the copies with windows stand, for a copy without any: a browser's
// windowless processes save their part of the session when its windowed one
// tells them to, so they are waited for as long as a windowed copy is.
enum class Windowed : std::uint8_t {
    None,        // no copy with windows runs
    Waited,      // one is still asked, waited for or being ended
    HandedBack,  // those that run have been handed back
};

// The next move for a program still running `now` after it was asked. One
// without windows cannot be asked: it goes with the windowed copies, and is
// not waited for where there are none.
Move NextMove(const Program& program, unsigned long now, Fate fate, Windowed windowed);

// Why a program was ended, as the log says it.
const wchar_t* EndReason(const Program& program);

// What closing running programs needs of its caller's window while it waits;
// here, apart from Windows, so that the installation's progress extends it.
class CloseWatcher {
  public:
    // Sets the status text, unless it is empty; with `pump`, the window then
    // handles whatever is pending, so that it repaints and takes input.
    virtual void ShowStatus(const std::wstring& text, bool pump) = 0;

  protected:
    ~CloseWatcher() = default;
};

}  // namespace Closing
