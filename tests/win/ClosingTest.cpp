#include "install/RunningPrograms.h"
#include "system/LogSink.h"
#include "system/Product.h"
#include "system/ProgramClosing.h"
#include "tests/win/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <tuple>

// The product's programs running from the install folder, asked to close as
// the installer asks them, with the tests' own browser in each of its ways.

namespace {

constexpr wchar_t kFolder[] = L"C:\\ZarvoClosingTest";

// What the caller sees: the log's lines, the programs waited for, and how
// long its window went without its messages being handled.
class Caller final : public InstallProgress, public LogSink {
  public:
    void SetProgressMax(int) override {}
    void AdvanceProgress(int) override {}
    StillRunning ProgramsStillRunning(const std::wstring&) override { return StillRunning::Stop; }
    void ShowStatus(const std::wstring& text, bool) override {
        if (!text.empty())
            waited = text;
        Pump();
    }
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        const DWORD now = GetTickCount();
        longestGap = std::max(longestGap, now - lastPump);
        lastPump = now;
    }
    void Step(std::wstring_view text) override { lines.emplace_back(text); }
    void Line(std::initializer_list<std::wstring_view> parts) override {
        std::wstring line;
        for (std::wstring_view part : parts)
            line += part;
        lines.push_back(line);
    }

    // The milliseconds of the line that begins so, or -1 without one.
    long Logged(const std::wstring& begin) const {
        for (const std::wstring& line : lines)
            if (line.compare(0, begin.size(), begin) == 0)
                return std::wcstol(line.c_str() + line.rfind(L'，') + 1, nullptr, 10);
        return -1;
    }

    std::vector<std::wstring> lines;
    std::wstring waited;
    DWORD lastPump = GetTickCount();
    DWORD longestGap = 0;
};

std::wstring InFolder(const wchar_t* name) {
    return std::wstring(kFolder) + L"\\" + name;
}

// What the willing browser saved when it was told that its session ends.
std::string Saved() {
    const std::wstring marker = InFolder(L"Zarvo.exe.saved");
    return Exists(marker) ? ReadText(marker) : std::string();
}

std::wstring Id(const RunningProgram& program) {
    return std::to_wstring(GetProcessId(program.Handle()));
}

class ClosingTest : public testing::Test {
  protected:
    void SetUp() override {
        RemoveTree(kFolder);
        ASSERT_TRUE(MakeFolders(kFolder));
    }
    void TearDown() override { RemoveTree(kFolder); }
};

}  // namespace

// Unattended, every program is asked at once: the willing one saves and ends,
// and the one that refuses and the hung one are ended at the bound, with the
// one without a window, which waits for them; the caller's window is served
// throughout.
TEST_F(ClosingTest, UnattendedEachProgramIsAskedAndOnlyThoseThatWillNotCloseAreEnded) {
    RunningProgram willing = StartTestBrowser(InFolder(L"Zarvo.exe"), L"obey");
    RunningProgram windowless = StartTestBrowser(InFolder(L"Zarvo.exe"), L"nowindow");
    RunningProgram refusing = StartTestBrowser(InFolder(L"ZarvUpdate.exe"), L"refuse");
    RunningProgram hung = StartTestBrowser(InFolder(L"ZarvService.exe"), L"hang");
    std::vector<RunningCopy> copies = FindRunningCopies(kFolder);
    ASSERT_EQ(copies.size(), 4u);

    Caller caller;
    const DWORD start = GetTickCount();
    ProgramClosing closing(std::move(copies), caller, caller);
    closing.Close(Closing::Fate::End);
    const DWORD took = GetTickCount() - start;
    caller.Pump();

    EXPECT_EQ(closing.Running(), 0u);
    for (const RunningProgram* program : {&willing, &windowless, &refusing, &hung})
        EXPECT_FALSE(program->Running());
    EXPECT_EQ(Saved(), "saved");
    EXPECT_GE(caller.Logged(L"已关闭程序：Zarvo.exe（进程 " + Id(willing) + L"，应请求退出，"), 0);
    EXPECT_GE(caller.Logged(L"已结束程序：Zarvo.exe（进程 " + Id(windowless) + L"，没有窗口，"),
              static_cast<long>(Closing::kBoundMs));
    for (const auto& [program, name, reason] : {std::make_tuple(&refusing, L"ZarvUpdate.exe", L"拒绝关闭"),
                                                std::make_tuple(&hung, L"ZarvService.exe", L"未响应")})
        EXPECT_GE(
            caller.Logged(std::wstring(L"已结束程序：") + name + L"（进程 " + Id(*program) + L"，" + reason + L"，"),
            static_cast<long>(Closing::kBoundMs));
    EXPECT_GE(took, Closing::kBoundMs);
    EXPECT_LT(took, Closing::kBoundMs + 5000);
    EXPECT_EQ(caller.waited, L"正在等待程序关闭：Zarvo.exe、ZarvService.exe、ZarvUpdate.exe");
    EXPECT_LT(caller.longestGap, 1000u);
}

// With a user to ask, programs that will not close are handed back as soon as
// nothing more is to be expected of them, still running, and ended only when
// the user chooses it.
TEST_F(ClosingTest, WithAUserThoseThatWillNotCloseAreHandedBackAndEndedOnlyWhenChosen) {
    RunningProgram willing = StartTestBrowser(InFolder(L"Zarvo.exe"), L"obey");
    RunningProgram refusing = StartTestBrowser(InFolder(L"ZarvUpdate.exe"), L"refuse");
    RunningProgram hung = StartTestBrowser(InFolder(L"ZarvService.exe"), L"hang");

    Caller caller;
    ProgramClosing closing(FindRunningCopies(kFolder), caller, caller);
    const DWORD start = GetTickCount();
    closing.Close(Closing::Fate::Ask);
    const DWORD took = GetTickCount() - start;

    EXPECT_FALSE(willing.Running());
    EXPECT_EQ(Saved(), "saved");
    EXPECT_TRUE(refusing.Running());
    EXPECT_TRUE(hung.Running());
    EXPECT_EQ(ProgramNames(closing.Running()), L"ZarvService.exe、ZarvUpdate.exe");
    EXPECT_GE(took, Closing::kHungMs);
    EXPECT_LT(took, Closing::kBoundMs);

    closing.End();
    EXPECT_EQ(closing.Running(), 0u);
    EXPECT_FALSE(refusing.Running());
    EXPECT_FALSE(hung.Running());
    EXPECT_GE(caller.Logged(L"已结束程序：ZarvUpdate.exe（进程 " + Id(refusing) + L"，拒绝关闭，"), 0);
    EXPECT_GE(caller.Logged(L"已结束程序：ZarvService.exe（进程 " + Id(hung) + L"，未响应，"), 0);
}

// A browser of several processes: its windowless helper is waited for while
// its window process is asked, and saves when that one tells it to, both then
// closing by themselves; a program without a window and nothing windowed of
// the product beside it is still ended at once.
TEST_F(ClosingTest, AWindowlessHelperIsWaitedForWhileItsWindowedCopyClosesAndEndedAtOnceAlone) {
    RunningProgram helper = StartTestBrowser(InFolder(L"ZarvService.exe"), L"helper");
    RunningProgram browser = StartTestBrowser(InFolder(L"Zarvo.exe"), L"parent");
    Caller caller;
    ProgramClosing closing(FindRunningCopies(kFolder), caller, caller);
    closing.Close(Closing::Fate::End);
    EXPECT_FALSE(helper.Running());
    EXPECT_FALSE(browser.Running());
    EXPECT_EQ(ReadText(InFolder(L"ZarvService.exe.saved")), "saved");
    EXPECT_EQ(Saved(), "saved");
    const long helped = caller.Logged(L"已关闭程序：ZarvService.exe（进程 " + Id(helper) + L"，自行退出，");
    EXPECT_GE(helped, 0);
    EXPECT_LT(helped, static_cast<long>(Closing::kHungMs));
    EXPECT_GE(caller.Logged(L"已关闭程序：Zarvo.exe（进程 " + Id(browser) + L"，应请求退出，"), helped);

    RunningProgram alone = StartTestBrowser(InFolder(L"ZarvService.exe"), L"nowindow");
    Caller aloneCaller;
    ProgramClosing closingAlone(FindRunningCopies(kFolder), aloneCaller, aloneCaller);
    closingAlone.Close(Closing::Fate::End);
    EXPECT_FALSE(alone.Running());
    const long ended = aloneCaller.Logged(L"已结束程序：ZarvService.exe（进程 " + Id(alone) + L"，没有窗口，");
    EXPECT_GE(ended, 0);
    EXPECT_LT(ended, static_cast<long>(Closing::kHungMs));
}

// A copy started by its short name is the product's as one started by its
// long name is; a program of the same name elsewhere is another's.
TEST_F(ClosingTest, ACopyStartedByItsShortNameIsAskedAndOneElsewhereIsNot) {
    const std::wstring elsewhere = std::wstring(kFolder) + L"\\Other";
    ASSERT_TRUE(MakeFolders(elsewhere));
    RunningProgram other = StartTestBrowser(elsewhere + L"\\Zarvo.exe", L"obey");
    const std::wstring service = InFolder(L"ZarvService.exe");
    ASSERT_TRUE(CopyFileW((elsewhere + L"\\Zarvo.exe").c_str(), service.c_str(), FALSE));
    wchar_t shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(service.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortPath), service);
    RunningProgram byShortName = StartTestBrowser(shortPath, L"obey");

    std::vector<RunningCopy> copies = FindRunningCopies(kFolder);
    ASSERT_EQ(copies.size(), 1u);
    Caller caller;
    ProgramClosing closing(std::move(copies), caller, caller);
    closing.Close(Closing::Fate::End);
    EXPECT_FALSE(byShortName.Running());
    EXPECT_TRUE(other.Running());
    EXPECT_EQ(ReadText(service + L".saved"), "saved");
}

// A copy that starts itself again as it is told that its session ends is
// found once it has, and closed too, before anything goes on.
TEST_F(ClosingTest, ACopyThatStartsAgainAsItClosesIsClosedToo) {
    RunningProgram respawning = StartTestBrowser(InFolder(L"Zarvo.exe"), L"respawn");
    Caller caller;
    std::vector<ClosedCopy> closed;
    CloseRunningPrograms(HeldFolder::Open(kFolder), Closing::Fate::End, caller, caller, closed);
    EXPECT_EQ(closed.size(), 2u) << "each to be started again";
    EXPECT_FALSE(respawning.Running());
    EXPECT_TRUE(FindRunningCopies(kFolder).empty());
    EXPECT_EQ(Saved(), "saved") << "the new copy was asked, and saved";
    EXPECT_EQ(std::count_if(caller.lines.begin(), caller.lines.end(),
                            [](const std::wstring& line) { return line.rfind(L"已关闭程序：Zarvo.exe", 0) == 0; }),
              2);
}
