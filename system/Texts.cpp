#include "system/Texts.h"

const wchar_t kNoWindowReason[] = L"没有窗口";
const wchar_t kNotRespondingReason[] = L"未响应";
const wchar_t kRefusedToCloseReason[] = L"拒绝关闭";
const wchar_t kNotExitedInTimeReason[] = L"未按时退出";
const wchar_t kExitedOnRequestReason[] = L"应请求退出";
const wchar_t kExitedByItselfReason[] = L"自行退出";
const wchar_t kProgramGoneLine[] = L"%1程序：%2（进程 %3，%4，%5 毫秒）";
const wchar_t kClosedWord[] = L"已关闭";
const wchar_t kEndedWord[] = L"已结束";
const wchar_t kProgramNotEndedLine[] = L"未能结束程序：%1（进程 %2）：%3";
const wchar_t kWaitingForProgramsStatus[] = L"正在等待程序关闭：";

const wchar_t kBrowserOfUser[] = L"%1（用户 %2，会话 %3）";
const wchar_t kStartedAgainLine[] = L"已重新启动：";
const wchar_t kNotStartedNoShellLine[] = L"未重新启动，桌面外壳不可用：";
const wchar_t kNotStartedAsUserLine[] = L"未重新启动，无法以其用户的身份在其会话中启动：";
const wchar_t kNotStartedLine[] = L"未重新启动：%1：%2";

const wchar_t kStepTimeEnd[] = L"（%1 毫秒）\r\n";

const wchar_t kWithErrorCode[] = L"%1（错误代码 %2）";
const wchar_t kOutOfMemory[] = L"Out of memory";
const wchar_t kUnexpectedError[] = L"Unexpected error";
const wchar_t kSystemErrorCode[] = L"System error code %1";
const wchar_t kInterfaceNotSupported[] = L"Interface not supported";
const wchar_t kStreamWriteError[] = L"Stream write error";
const wchar_t kCannotCreateFile[] = L"Cannot create file \"%1\". %2%3";
const wchar_t kResourceNotFound[] = L"Resource %1 not found";
const wchar_t kCannotGetData[] = L"Failed to get data for '%1'";
const wchar_t kInvalidDataType[] = L"Invalid data type for '%1'";
const wchar_t kCannotSetData[] = L"Failed to set data for '%1'";
const wchar_t kCannotCreateKey[] = L"Failed to create key '%1'. %2";
const wchar_t kCannotOpenKey[] = L"Failed to open key '%1'. %2";
const wchar_t kFileNotFound[] = L"File not found";
const wchar_t kPathNotFound[] = L"Path not found";
const wchar_t kTooManyOpenFiles[] = L"Too many open files";
const wchar_t kFileAccessDenied[] = L"File access denied";
const wchar_t kReadBeyondEnd[] = L"Read beyond end of file";
const wchar_t kDiskFull[] = L"Disk full";
const wchar_t kInvalidNumericInput[] = L"Invalid numeric input";
const wchar_t kIoError[] = L"I/O error %1";
