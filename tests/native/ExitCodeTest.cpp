#include "app/ExitCode.h"

#include <gtest/gtest.h>

#include <iterator>

// Deployment tools and the winget manifest read these codes without being
// told: each outcome keeps its own, and the log's last line says it.
TEST(ExitCode, EveryOutcomeHasItsCodeAndItsWords) {
    struct Case {
        Outcome outcome;
        int code;
        const wchar_t* words;
    };
    const Case cases[] = {
        {Outcome::Installed, 0, L"安装完成"},
        {Outcome::HelpShown, 0, L"已显示命令行用法"},
        {Outcome::Cancelled, 1602, L"用户取消了安装"},
        {Outcome::Failed, 1603, L"安装失败"},
        {Outcome::AnotherSetupRunning, 1618, L"另一个安装程序正在运行，未做任何更改"},
        {Outcome::Damaged, 1620, L"安装程序已损坏，未做任何更改"},
        {Outcome::LogNotOpened, 1622, L"无法创建日志文件，未做任何更改"},
        {Outcome::FolderRefused, 1625, L"安装目录不可用，未安装任何文件"},
        {Outcome::InvalidCommandLine, 1639, L"命令行参数无效，未做任何更改"},
        {Outcome::NewerInstalled, 1638, L"已装有较新的版本，未做任何更改"},
        {Outcome::ProgramsInUse, 15618, L"程序仍在运行，未做任何更改"},
        {Outcome::Removed, 0, L"卸载完成"},
        {Outcome::NothingInstalled, 0, L"本机未安装泽沃浏览器，未做任何更改"},
        {Outcome::RemovalCancelled, 1602, L"用户取消了卸载"},
        {Outcome::RemovalFailed, 1603, L"卸载失败"},
    };
    static_assert(std::size(cases) == static_cast<std::size_t>(Outcome::RemovalFailed) + 1, "a row per outcome");
    for (const Case& c : cases) {
        EXPECT_EQ(ExitCodeOf(c.outcome), c.code) << c.words;
        EXPECT_EQ(ResultLine(c.outcome),
                  std::wstring(L"结果：") + c.words + L"（退出代码 " + std::to_wstring(c.code) + L"）");
    }
    // Too little room and a failed check are about the machine, not the folder.
    for (FolderRefusal refusal : {FolderRefusal::Unusable, FolderRefusal::Unsafe, FolderRefusal::Changed})
        EXPECT_EQ(OutcomeOf(refusal), Outcome::FolderRefused) << static_cast<int>(refusal);
    for (FolderRefusal refusal : {FolderRefusal::NoRoom, FolderRefusal::Failed})
        EXPECT_EQ(OutcomeOf(refusal), Outcome::Failed) << static_cast<int>(refusal);
}
