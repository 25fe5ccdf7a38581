#include "app/ExitCode.h"

#include "system/MessageText.h"

#include <iterator>

namespace {

struct OutcomeEntry {
    Outcome outcome;
    ExitCode code;
    const wchar_t* words;
};

// Indexed by outcome: the checks below refuse a table that lacks one or
// lists one out of place.
constexpr OutcomeEntry kOutcomes[] = {
    {Outcome::Installed, kInstalled, L"安装完成"},
    {Outcome::HelpShown, kInstalled, L"已显示命令行用法"},
    {Outcome::Cancelled, kCancelled, L"用户取消了安装"},
    {Outcome::Failed, kInstallationFailed, L"安装失败"},
    {Outcome::AnotherSetupRunning, kAnotherSetupRunning, L"另一个安装程序正在运行，未做任何更改"},
    {Outcome::Damaged, kInstallerDamaged, L"安装程序已损坏，未做任何更改"},
    {Outcome::LogNotOpened, kLogNotOpened, L"无法创建日志文件，未做任何更改"},
    {Outcome::FolderRefused, kFolderRefused, L"安装目录不可用，未安装任何文件"},
    {Outcome::InvalidCommandLine, kInvalidCommandLine, L"命令行参数无效，未做任何更改"},
    {Outcome::NewerInstalled, kNewerInstalled, L"已装有较新的版本，未做任何更改"},
    {Outcome::ProgramsInUse, kProgramsInUse, L"程序仍在运行，未做任何更改"},
    {Outcome::Removed, kInstalled, L"卸载完成"},
    {Outcome::NothingInstalled, kInstalled, L"本机未安装泽沃浏览器，未做任何更改"},
    {Outcome::RemovalCancelled, kCancelled, L"用户取消了卸载"},
    {Outcome::RemovalFailed, kInstallationFailed, L"卸载失败"},
    {Outcome::DefaultSet, kInstalled, L"已设为本机默认浏览器，快捷方式已显示"},
    {Outcome::IconsHidden, kInstalled, L"快捷方式已删除"},
    {Outcome::IconsShown, kInstalled, L"快捷方式已显示"},
};
static_assert(std::size(kOutcomes) == static_cast<std::size_t>(Outcome::Count), "a row for every outcome");
static_assert(
    [] {
        for (std::size_t i = 0; i < std::size(kOutcomes); ++i)
            if (kOutcomes[i].outcome != static_cast<Outcome>(i))
                return false;
        return true;
    }(),
    "each row at its outcome's place");

}  // namespace

// A refusal about the folder itself refuses the folder; too little room is
// about the machine, and an error of the check no word on the folder: both
// fail the installation.
Outcome OutcomeOf(FolderRefusal refusal) {
    return refusal == FolderRefusal::NoRoom || refusal == FolderRefusal::Failed ? Outcome::Failed
                                                                                : Outcome::FolderRefused;
}

ExitCode ExitCodeOf(Outcome outcome) {
    return kOutcomes[static_cast<int>(outcome)].code;
}

std::wstring ResultLine(Outcome outcome) {
    const OutcomeEntry& entry = kOutcomes[static_cast<int>(outcome)];
    return FormatText(L"结果：%1（退出代码 %2）", {entry.words, DecimalText(entry.code)});
}
