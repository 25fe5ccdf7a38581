#include "system/ProgramClosing.h"

#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/Product.h"
#include "system/SystemError.h"
#include "system/Texts.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// How often the wait looks at the programs when nothing else wakes it.
constexpr DWORD kLookMs = 100;
// How long an ended program is given to let go of its files.
constexpr DWORD kExitWaitMs = 5000;

}  // namespace

struct ProgramClosing::Program {
    RunningCopy* copy;
    std::vector<HWND> windows;
    Closing::Program rule;
    bool forced = false;
    bool gone = false;
    bool handedBack = false;
    unsigned long forcedAt = 0;
    const wchar_t* reason = kExitedOnRequestReason;
};

// The answers of one round reach the object through this. It stays while an
// answer is still to come, after the object or its round is gone: one that
// never comes (a hung program left running) keeps it, a few bytes.
struct ProgramClosing::Link {
    ProgramClosing* owner;
    unsigned pending;
};

ProgramClosing::ProgramClosing(std::vector<RunningCopy> copies, Closing::CloseWatcher& watcher, LogSink& log)
    : copies_(std::move(copies)), programs_(copies_.size()), watcher_(watcher), log_(log) {
    for (std::size_t i = 0; i < copies_.size(); ++i)
        programs_[i].copy = &copies_[i];
}

ProgramClosing::~ProgramClosing() {
    Detach();
}

// Inline: a function of its own would weigh its unwind table as well.
[[gnu::always_inline]] inline void ProgramClosing::Detach() noexcept {
    if (!link_)
        return;
    link_->owner = nullptr;
    if (link_->pending == 0)
        delete link_;
    link_ = nullptr;
}

void CALLBACK ProgramClosing::Answered(HWND window, UINT message, ULONG_PTR data, LRESULT result) {
    Link* link = reinterpret_cast<Link*>(data);
    if (link->owner)
        link->owner->Take(window, message, result);
    if (--link->pending == 0 && !link->owner)
        delete link;
}

void ProgramClosing::Take(HWND window, UINT message, LRESULT result) noexcept {
    for (Program& program : programs_) {
        if (std::find(program.windows.begin(), program.windows.end(), window) == program.windows.end())
            continue;
        Closing::Program& rule = program.rule;
        if (program.forced)
            return;
        if (message == WM_QUERYENDSESSION && rule.stage == Closing::Stage::Asked) {
            if (!result) {
                // As when a session does not end after all: each window hears
                // that it goes on.
                rule.stage = Closing::Stage::Refused;
                for (HWND each : program.windows)
                    SendNotifyMessageW(each, WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP);
                return;
            }
        } else if (message != WM_ENDSESSION || rule.stage < Closing::Stage::Told) {
            return;
        }
        ++rule.answers;
        rule.since = Now();
        return;
    }
}

BOOL CALLBACK ProgramClosing::ListWindow(HWND window, LPARAM self) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    try {
        for (Program& program : reinterpret_cast<ProgramClosing*>(self)->programs_)
            if (program.copy->id == id)
                program.windows.push_back(window);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void ProgramClosing::FindWindows() {
    for (Program& program : programs_)
        program.windows.clear();
    EnumWindows(ListWindow, reinterpret_cast<LPARAM>(this));
}

void ProgramClosing::Ask(Program& program) {
    program.rule = Closing::Program();
    program.handedBack = false;
    // Only the windows that took the question count: one may have gone.
    for (HWND window : program.windows) {
        if (!SendMessageCallbackW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, Answered,
                                  reinterpret_cast<ULONG_PTR>(link_)))
            continue;
        ++link_->pending;
        ++program.rule.windows;
    }
    // One without windows goes when its windowed copies let it, or alone.
    program.reason = program.rule.windows ? kExitedOnRequestReason : kExitedByItselfReason;
}

void ProgramClosing::Tell(Program& program) {
    program.rule.stage = Closing::Stage::Told;
    // Each window hears it, or counts as having heard it where it is gone.
    program.rule.windows = static_cast<unsigned>(program.windows.size());
    program.rule.answers = 0;
    program.rule.since = Now();
    for (HWND window : program.windows) {
        if (SendMessageCallbackW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, Answered,
                                 reinterpret_cast<ULONG_PTR>(link_)))
            ++link_->pending;
        else
            ++program.rule.answers;
    }
}

void ProgramClosing::Force(Program& program) {
    program.reason = Closing::EndReason(program.rule);
    program.forced = true;
    program.forcedAt = Now();
    if (TerminateProcess(program.copy->process.get(), 0))
        return;
    const DWORD error = GetLastError();
    program.gone = true;
    log_.Line(FormatText(kProgramNotEndedLine, {Product::kPrograms[program.copy->program],
                                                DecimalText(program.copy->id), SystemErrorText(error)}));
}

void ProgramClosing::Gone(Program& program) {
    program.gone = true;
    log_.Line(FormatText(kProgramGoneLine,
                         {program.forced ? kEndedWord : kClosedWord, Product::kPrograms[program.copy->program],
                          DecimalText(program.copy->id), program.reason, DecimalText(Now())}));
}

void ProgramClosing::Close(Closing::Fate fate) {
    // Answers of an earlier round no longer count.
    Detach();
    link_ = new Link{this, 0};
    start_ = GetTickCount();
    FindWindows();
    for (Program& program : programs_)
        if (!program.gone)
            Ask(program);
    Wait(fate);
}

void ProgramClosing::End() {
    start_ = GetTickCount();
    Wait(Closing::Fate::End, true);
}

unsigned ProgramClosing::Running() const {
    unsigned programs = 0;
    for (const Program& program : programs_)
        if (!program.gone)
            programs |= 1u << program.copy->program;
    return programs;
}

void ProgramClosing::Closed(unsigned program, std::vector<ClosedCopy>& closed) const {
    for (const Program& each : programs_)
        if (each.gone && each.copy->program == program)
            closed.push_back(each.copy->owner);
}

Closing::Windowed ProgramClosing::WindowedCopies() const {
    Closing::Windowed windowed = Closing::Windowed::None;
    for (const Program& program : programs_) {
        if (program.gone || program.rule.windows == 0)
            continue;
        if (!program.handedBack)
            return Closing::Windowed::Waited;
        windowed = Closing::Windowed::HandedBack;
    }
    return windowed;
}

void ProgramClosing::Wait(Closing::Fate fate, bool now) {
    unsigned shown = 0;
    for (;;) {
        // As the round before left them: a copy handed back in this round
        // keeps one without windows waiting a round longer, no more.
        const Closing::Windowed windowed = WindowedCopies();
        HANDLE handles[MAXIMUM_WAIT_OBJECTS - 1];
        DWORD count = 0;
        unsigned waiting = 0;
        for (Program& program : programs_) {
            if (program.gone)
                continue;
            HANDLE process = program.copy->process.get();
            if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT ||
                (program.forced && Now() - program.forcedAt >= kExitWaitMs)) {
                Gone(program);
                continue;
            }
            if (!program.forced) {
                switch (now ? Closing::Move::Force : Closing::NextMove(program.rule, Now(), fate, windowed)) {
                    case Closing::Move::Tell:
                        Tell(program);
                        break;
                    case Closing::Move::Nudge:
                        program.rule.stage = Closing::Stage::Nudged;
                        for (HWND window : program.windows)
                            PostMessageW(window, WM_CLOSE, 0, 0);
                        break;
                    case Closing::Move::Force:
                        Force(program);
                        break;
                    case Closing::Move::HandBack:
                        program.handedBack = true;
                        continue;
                    case Closing::Move::Wait:
                        break;
                }
            }
            // Those beyond what one wait takes are looked at every round.
            if (count < std::size(handles))
                handles[count++] = process;
            waiting |= 1u << program.copy->program;
        }
        if (!waiting)
            return;
        MsgWaitForMultipleObjectsEx(count, handles, kLookMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // The answers arrive with the messages sent to this thread, whatever
        // the caller's pump does with the others.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        // The window is served every round, and names the programs waited for
        // whenever they change.
        watcher_.ShowStatus(waiting == shown ? std::wstring() : kWaitingForProgramsStatus + ProgramNames(shown = waiting),
                            true);
    }
}
