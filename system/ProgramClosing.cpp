#include "system/ProgramClosing.h"

#include "system/LogSink.h"
#include "system/MessageText.h"
#include "system/SystemError.h"

#include <algorithm>
#include <utility>

namespace {

// How often the wait looks at the programs when nothing else wakes it.
constexpr DWORD kLookMs = 100;
// How long an ended program is given to let go of its files.
constexpr DWORD kExitWaitMs = 5000;

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// Every top-level window with the id of its process.
using WindowList = std::vector<std::pair<DWORD, HWND>>;
BOOL CALLBACK ListWindow(HWND window, LPARAM list) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    try {
        reinterpret_cast<WindowList*>(list)->emplace_back(id, window);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

struct ProgramClosing::Program {
    RunningCopy copy;
    std::vector<HWND> windows;
    Closing::Program rule;
    bool forced = false;
    bool gone = false;
    unsigned long forcedAt = 0;
    const wchar_t* reason = L"";
};

// The answers of one round reach the object through this. It stays while an
// answer is still to come, after the object or its round is gone: one that
// never comes (a hung program left running) keeps it, a few bytes.
struct ProgramClosing::Link {
    ProgramClosing* owner;
    unsigned pending;
};

ProgramClosing::ProgramClosing(std::vector<RunningCopy> copies, CloseWatcher& watcher, LogSink& log)
    : watcher_(watcher), log_(log) {
    for (RunningCopy& copy : copies)
        programs_.push_back({std::move(copy), {}, {}});
}

ProgramClosing::~ProgramClosing() {
    Detach();
}

void ProgramClosing::Detach() noexcept {
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

void ProgramClosing::FindWindows() {
    WindowList all;
    EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&all));
    for (Program& program : programs_) {
        program.windows.clear();
        for (const auto& [id, window] : all)
            if (id == program.copy.id)
                program.windows.push_back(window);
    }
}

void ProgramClosing::Ask(Program& program) {
    program.rule = Closing::Program();
    // Only the windows that took the question count: one may have gone.
    auto kept = program.windows.begin();
    for (HWND window : program.windows) {
        if (!SendMessageCallbackW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, Answered,
                                  reinterpret_cast<ULONG_PTR>(link_)))
            continue;
        ++link_->pending;
        *kept++ = window;
    }
    program.windows.erase(kept, program.windows.end());
    program.rule.windows = static_cast<unsigned>(program.windows.size());
}

void ProgramClosing::Tell(Program& program) {
    program.rule.stage = Closing::Stage::Told;
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
    if (TerminateProcess(program.copy.process.get(), 0))
        return;
    const DWORD error = GetLastError();
    program.gone = true;
    log_.Line({L"未能结束程序：", program.copy.image, L"（进程 ", DecimalText(program.copy.id), L"）：",
               SystemErrorText(error)});
}

void ProgramClosing::Gone(Program& program) {
    program.gone = true;
    const std::wstring id = DecimalText(program.copy.id);
    const std::wstring ms = DecimalText(Now());
    if (program.forced)
        log_.Line(FormatText(L"已结束程序：%1（进程 %2，%3，%4 毫秒）", {program.copy.image, id, program.reason, ms}));
    else
        log_.Line(FormatText(L"已关闭程序：%1（进程 %2，应请求退出，%3 毫秒）", {program.copy.image, id, ms}));
}

void ProgramClosing::Close(bool unattended) {
    // Answers of an earlier round no longer count.
    Detach();
    link_ = new Link{this, 0};
    start_ = GetTickCount();
    FindWindows();
    for (Program& program : programs_)
        if (!program.gone)
            Ask(program);
    Wait(unattended);
}

void ProgramClosing::End() {
    start_ = GetTickCount();
    for (Program& program : programs_)
        if (!program.gone && !program.forced)
            Force(program);
    Wait(true);
}

std::vector<std::wstring> ProgramClosing::Running() const {
    std::vector<std::wstring> images;
    for (const Program& program : programs_)
        if (!program.gone)
            images.push_back(program.copy.image);
    return images;
}

void ProgramClosing::Wait(bool unattended) {
    std::vector<std::wstring> shown;
    for (;;) {
        std::vector<HANDLE> handles;
        std::vector<std::wstring> waiting;
        for (Program& program : programs_) {
            if (program.gone)
                continue;
            HANDLE process = program.copy.process.get();
            if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT ||
                (program.forced && Now() - program.forcedAt >= kExitWaitMs)) {
                Gone(program);
                continue;
            }
            if (!program.forced) {
                switch (Closing::NextMove(program.rule, Now(), unattended)) {
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
                        continue;
                    case Closing::Move::Wait:
                        break;
                }
            }
            handles.push_back(process);
            waiting.push_back(FileNameOf(program.copy.image));
        }
        if (handles.empty())
            return;
        if (waiting != shown)
            watcher_.Waiting(shown = waiting);
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS - 1));
        MsgWaitForMultipleObjectsEx(count, handles.data(), kLookMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // The answers arrive with the messages sent to this thread, whatever
        // the caller's pump does with the others.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        watcher_.Pump();
    }
}
