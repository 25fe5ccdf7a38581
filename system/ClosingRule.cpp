#include "system/ClosingRule.h"

#include "system/Texts.h"

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
        return kNoWindowReason;
    switch (program.stage) {
        case Stage::Asked:
            return kNotRespondingReason;
        case Stage::Refused:
            return kRefusedToCloseReason;
        default:
            return kNotExitedInTimeReason;
    }
}

}  // namespace Closing
