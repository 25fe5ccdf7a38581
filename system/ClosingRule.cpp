#include "system/ClosingRule.h"

namespace Closing {

Move NextMove(const Program& program, unsigned long now, Fate fate, Windowed windowed) {
    const Move late = fate == Fate::End ? Move::Force : Move::HandBack;
    const bool unattended = fate != Fate::Ask;
    // Nothing of a program without windows can be asked: it waits while a
    // windowed copy may still tell it to save, and then shares their fate;
    // alone, it is handed back only where it is to stay.
    if (program.windows == 0) {
        if (windowed == Windowed::Waited)
            return now >= kBoundMs ? late : Move::Wait;
        if (windowed == Windowed::HandedBack)
            return late;
        return fate == Fate::Keep ? Move::HandBack : Move::Force;
    }
    switch (program.stage) {
        case Stage::Asked:
            if (program.answers == program.windows)
                return Move::Tell;
            if (now >= kBoundMs || (!unattended && now >= kHungMs))
                return late;
            break;
        case Stage::Refused:
            // Its user may still close it meanwhile.
            if (now >= kBoundMs || !unattended)
                return late;
            break;
        case Stage::Told:
            if (now >= kBoundMs)
                return late;
            if (program.answers == program.windows && now - program.since >= kGraceMs)
                return Move::Nudge;
            break;
        case Stage::Nudged:
            if (now >= kBoundMs)
                return late;
            break;
    }
    return Move::Wait;
}

const wchar_t* EndReason(const Program& program) {
    if (program.windows == 0)
        return L"没有窗口";
    switch (program.stage) {
        case Stage::Asked:
            return L"未响应";
        case Stage::Refused:
            return L"拒绝关闭";
        default:
            return L"未按时退出";
    }
}

}  // namespace Closing
