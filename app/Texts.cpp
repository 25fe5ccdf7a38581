#include "app/Texts.h"

#include "Version.h"

const wchar_t kChooseFolderTitle[] = L"请选择文件夹。";
const wchar_t kProgramsWillCloseQuestion[] =
    L"以下程序正在运行：%1\r\n\r\n安装时将关闭它们，请先保存其中的工作。"
    L"按“确定”继续，按“取消”返回，不做任何更改。";
const wchar_t kProgramsDidNotCloseQuestion[] =
    L"以下程序没有关闭：%1\r\n\r\n按“重试”再请它们关闭；"
    L"按“继续”强行结束它们，未保存的内容将丢失；"
    L"按“取消”停止安装，不做任何更改。";
const wchar_t kDamagedText[] = L"安装程序已损坏，请重新下载。";
const wchar_t kAnotherSetupText[] = L"另一个泽沃浏览器安装程序正在运行，请等它结束后再试。";
const wchar_t kNewerQuestion[] =
    L"本机已装有较新的泽沃浏览器 %1，本安装程序是较旧的 %2。较新版本的用户资料可能无法在较旧的版本中打开。\r\n\r\n"
    L"要用 %2 替换 %1 吗？按“取消”则退出，不做任何更改。";
const wchar_t kNewerRefused[] =
    L"本机已装有较新的泽沃浏览器 %1，未用较旧的 %2 替换它。命令行加上 /AllowDowngrade 则替换。";
const wchar_t kLogNotOpenedText[] = L"无法创建日志文件：%1\r\n%2";
const wchar_t kLogInFolder[] = L"日志文件不能位于要安装或卸载的文件夹中。";
const wchar_t kNothingInstalled[] = L"本机没有泽沃浏览器的卸载信息，无需卸载。";
const wchar_t kCommandLineLine[] = L"命令行：";
const wchar_t kInstallFolderLine[] = L"安装目录：";
const wchar_t kLeaveInstallationQuestion[] = L"确定要退出安装程序吗？";
const wchar_t kLeaveRemovalQuestion[] = L"确定要退出卸载程序吗？";
const wchar_t kLogTitleLine[] = L"泽沃浏览器安装程序 " ZARVO_VERSION_TEXT;
const wchar_t kStartTimeLine[25] = L"开始时间：0000-00-00 00:00:00";
