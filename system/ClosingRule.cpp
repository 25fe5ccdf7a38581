#include "system/ClosingRule.h"

namespace Closing {

Move NextMove(const Program& program, unsigned long now, Fate fate) {
    const Move late = fate == Fate::End ? Move::Force : Move::HandBack;
    const bool unattended = fate != Fate::Ask;
    // Nothing of a program without windows can be asked; only where it is to
    // stay is it handed back.
    if (program.windows == 0)
        return fate == Fate::Keep ? Move::HandBack : Move::Force;
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
