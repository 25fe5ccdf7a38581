#include "system/ClosingRule.h"

#include <gtest/gtest.h>

using namespace Closing;

// Each program is waited for while it may still close by itself, asked again
// once told, and ended (or handed back) at its edge, never before; one that is
// to stay is never ended.
TEST(ClosingRule, AProgramIsEndedOrHandedBackOnlyWhenItWillNotClose) {
    struct Case {
        Program program;
        unsigned long now;
        Move unattended;
        Move withUser;
        Move kept;
    };
    const Case cases[] = {
        {{Stage::Asked, 2, 1, 10}, 20, Move::Wait, Move::Wait, Move::Wait},
        {{Stage::Asked, 2, 2, 10}, 20, Move::Tell, Move::Tell, Move::Tell},
        {{Stage::Asked, 2, 1, 10}, kHungMs - 1, Move::Wait, Move::Wait, Move::Wait},
        {{Stage::Asked, 2, 1, 10}, kHungMs, Move::Wait, Move::HandBack, Move::Wait},
        {{Stage::Asked, 2, 1, 10}, kBoundMs, Move::Force, Move::HandBack, Move::HandBack},
        {{Stage::Asked, 2, 2, 10}, kBoundMs, Move::Tell, Move::Tell, Move::Tell},
        {{Stage::Refused, 1, 0, 10}, 10, Move::Wait, Move::HandBack, Move::Wait},
        {{Stage::Refused, 1, 0, 10}, kBoundMs, Move::Force, Move::HandBack, Move::HandBack},
        {{Stage::Told, 2, 1, 100}, 100 + kGraceMs, Move::Wait, Move::Wait, Move::Wait},
        {{Stage::Told, 2, 2, 100}, 100 + kGraceMs - 1, Move::Wait, Move::Wait, Move::Wait},
        {{Stage::Told, 2, 2, 100}, 100 + kGraceMs, Move::Nudge, Move::Nudge, Move::Nudge},
        {{Stage::Told, 2, 1, 100}, kBoundMs, Move::Force, Move::HandBack, Move::HandBack},
        {{Stage::Nudged, 1, 1, 100}, kBoundMs - 1, Move::Wait, Move::Wait, Move::Wait},
        {{Stage::Nudged, 1, 1, 100}, kBoundMs, Move::Force, Move::HandBack, Move::HandBack},
    };
    for (const Case& c : cases) {
        const int stage = static_cast<int>(c.program.stage);
        EXPECT_EQ(NextMove(c.program, c.now, Fate::End, Windowed::None), c.unattended) << stage << " at " << c.now;
        EXPECT_EQ(NextMove(c.program, c.now, Fate::Ask, Windowed::None), c.withUser) << stage << " at " << c.now;
        EXPECT_EQ(NextMove(c.program, c.now, Fate::Keep, Windowed::None), c.kept) << stage << " at " << c.now;
    }
}

// A program without windows is a windowed copy's helper, which that copy may
// still tell to save: it waits while any windowed copy is waited for, up to
// the bound, and then goes as they went; alone, it is ended (or kept) at once.
TEST(ClosingRule, AProgramWithoutWindowsGoesWithTheWindowedCopies) {
    struct Case {
        Windowed windowed;
        unsigned long now;
        Move unattended;
        Move withUser;
        Move kept;
    };
    const Case cases[] = {
        {Windowed::None, 0, Move::Force, Move::Force, Move::HandBack},
        {Windowed::Waited, 0, Move::Wait, Move::Wait, Move::Wait},
        {Windowed::Waited, kBoundMs - 1, Move::Wait, Move::Wait, Move::Wait},
        {Windowed::Waited, kBoundMs, Move::Force, Move::HandBack, Move::HandBack},
        {Windowed::HandedBack, 10, Move::Force, Move::HandBack, Move::HandBack},
    };
    const Program windowless{Stage::Asked, 0, 0, 0};
    for (const Case& c : cases) {
        const int windowed = static_cast<int>(c.windowed);
        EXPECT_EQ(NextMove(windowless, c.now, Fate::End, c.windowed), c.unattended) << windowed << " at " << c.now;
        EXPECT_EQ(NextMove(windowless, c.now, Fate::Ask, c.windowed), c.withUser) << windowed << " at " << c.now;
        EXPECT_EQ(NextMove(windowless, c.now, Fate::Keep, c.windowed), c.kept) << windowed << " at " << c.now;
    }
}

// The log says why a program was ended, by how far it came.
TEST(ClosingRule, EndedProgramsReasonIsWhereItStopped) {
    struct Case {
        Program program;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {{Stage::Asked, 0, 0, 0}, L"没有窗口"},  {{Stage::Told, 0, 0, 0}, L"没有窗口"},
        {{Stage::Asked, 2, 1, 0}, L"未响应"},    {{Stage::Refused, 1, 0, 0}, L"拒绝关闭"},
        {{Stage::Told, 1, 1, 0}, L"未按时退出"}, {{Stage::Nudged, 1, 1, 0}, L"未按时退出"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(EndReason(c.program), c.reason) << static_cast<int>(c.program.stage);
}
