#include "app/ExitCode.h"

#include "system/MessageText.h"

namespace {

struct OutcomeEntry {
    ExitCode code;
    const wchar_t* words;
};

// In the order of Outcome.
constexpr OutcomeEntry kOutcomes[] = {
    {kInstalled, L"安装完成"},
    {kInstalled, L"已显示命令行用法"},
    {kCancelled, L"用户取消了安装"},
    {kInstallationFailed, L"安装失败"},
    {kAnotherSetupRunning, L"另一个安装程序正在运行，未做任何更改"},
    {kInstallerDamaged, L"安装程序已损坏，未做任何更改"},
    {kLogNotOpened, L"无法创建日志文件，未做任何更改"},
    {kFolderRefused, L"安装目录不可用，未安装任何文件"},
    {kInvalidCommandLine, L"命令行参数无效，未做任何更改"},
    {kNewerInstalled, L"已装有较新的版本，未做任何更改"},
    {kProgramsInUse, L"程序仍在运行，未做任何更改"},
    {kInstalled, L"卸载完成"},
    {kInstalled, L"本机未安装泽沃浏览器，未做任何更改"},
    {kCancelled, L"用户取消了卸载"},
    {kInstallationFailed, L"卸载失败"},
};

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
