#include "install/Texts.h"

const wchar_t kMakingFoldersStatus[] = L"正在创建目录，请稍候";
const wchar_t kCheckingUseStatus[] = L"正在检查使用情况，请稍候";
const wchar_t kUpdatingKeysStatus[] = L"正在更新系统键值";
const wchar_t kDeletingTemporaryStatus[] = L"正在删除生成的临时文件";
const wchar_t kMakingShortcutsStatus[] = L"正在创建快捷方式";
const wchar_t kExtractingStatus[] = L"正在抽取：";
const wchar_t kDecompressingStatus[] = L"正在解压缩：";
const wchar_t kDeletingStatus[] = L"正在删除：";
const wchar_t kFolderGoneNote[] = L"安装目录已不存在，只删除快捷方式和注册表信息。";
const wchar_t kEarlierRunUndoneNote[] = L"上次安装没有完成：已撤销它所做的更改，原有的文件已恢复。";
const wchar_t kEarlierRunFinished[] = L"上次安装已经完成：已删除它留下的旧文件。";
const wchar_t kEarlierRunLeftFilesNote[] = L"上次安装已经完成：它留下的旧文件有的未能删除，留待下次安装删除。";

const wchar_t kMakeFolderVerb[] = L"创建文件夹：";
const wchar_t kCloseProgramsVerb[] = L"关闭运行中的程序：";
const wchar_t kDiscardVerb[] = L"删除上次安装留下的：";
const wchar_t kPutBackVerb[] = L"恢复上次安装保留的：";
const wchar_t kRestoreVerb[] = L"按日志恢复注册表：";
const wchar_t kSetAsideVerb[] = L"移开未使用的注册表日志：";
const wchar_t kJournalVerb[] = L"记录注册表原值";
const wchar_t kHoldVerb[] = L"占用将被替换的文件：";
const wchar_t kCopyVerb[] = L"复制安装包：";
const wchar_t kWriteVerb[] = L"写入新文件：";
const wchar_t kPlaceVerb[] = L"替换：";
const wchar_t kSetValueVerb[] = L"写入注册表值：HKLM\\";
const wchar_t kFinishVerb[] = L"删除保留的旧文件";
const wchar_t kAtRestartVerb[] = L"安排重启后删除仍被占用的旧文件";
const wchar_t kStartAgainVerb[] = L"重新启动关闭的浏览器";
const wchar_t kRemoveVerb[] = L"删除：";
const wchar_t kDeleteValueVerb[] = L"删除注册表值：HKLM\\";
const wchar_t kForgetVerb[] = L"删除卸载信息中的安装目录";
const wchar_t kRemoveFolderVerb[] = L"删除空文件夹：";
const wchar_t kRemoveKeyVerb[] = L"删除空注册表项：HKLM\\";
const wchar_t kSetUserValueVerb[] = L"写入注册表值：";

const wchar_t kUndoLine[] = L"撤销：";
const wchar_t kFailedLine[] = L"失败：%1：%2";
const wchar_t kUndoFailedLine[] = L"撤销失败：%1：%2";

const wchar_t kJournalNotUsedLine[] = L"未使用此日志，注册表未按它恢复：";
const wchar_t kNotSetAsideLine[] = L"未能移开，留待下次安装：";
const wchar_t kLinkKeptLine[] = L"这是指向别处的链接，不是本产品的文件，保留。";
const wchar_t kKeptInstallerHeldLine[] = L"另一程序占用着它，保留，由该程序删除。";
const wchar_t kLeftForNextInstallLine[] = L"未能删除，留待下次安装删除：";
const wchar_t kLeftForNextRemovalLine[] = L"未能删除，留待下次卸载：";
const wchar_t kDeletedAtRestartLine[] = L"重启后删除：";
const wchar_t kEntryKeptLine[] = L"上次运行留下的文件未能全部删除，卸载信息保留，留待下次卸载。";
const wchar_t kKeptNotEmptyLine[] = L"其中有本产品以外的内容，保留。";
const wchar_t kStartPageNotWrittenLine[] = L"未写入：该用户的注册表未加载，或路径中有链接。";

const wchar_t kJournalNotAdminsReason[] = L"管理员以外的账户拥有它或可以更改它";
const wchar_t kJournalTooLargeReason[] = L"它比本产品所写的任何日志都大";
const wchar_t kJournalUnreadableReason[] = L"无法完整读取它";
const wchar_t kJournalForeignValuesReason[] = L"它列有本产品所写以外的注册表值";

const wchar_t kFolderUnusableText[] = L"安装目录格式不正确，请重新选择！";
const wchar_t kFolderChangedText[] = L"安装目录“%1”在检查期间被其他程序更改。\r\n请选择其他文件夹。";
const wchar_t kInstalledFolderElsewhereText[] = L"卸载信息中登记的安装目录“%1”经由链接指向别处，或无法打开。";
const wchar_t kInstalledFolderEmptyText[] = L"卸载信息中登记的安装目录“%1”中没有泽沃浏览器，未做任何更改。";
const wchar_t* const kFolderUnsafeTexts[4] = {
    L"安装目录“%1”不属于管理员：其他账户可以更改安装在其中的程序。\r\n请选择其他文件夹。",
    L"安装目录“%1”允许其他账户写入或删除其中的文件。\r\n请选择其他文件夹。",
    L"文件夹“%1”允许其他账户重命名或替换其中的安装目录。\r\n请选择其他文件夹。",
    L"安装目录“%1”正被其他程序独占使用。\r\n请关闭该程序或选择其他文件夹。",
};
const wchar_t kKeptFolderUnsafeText[] = L"文件夹“%1”允许其他账户更改其中的安装程序，未做任何更改。";
const wchar_t kNoRoomText[] =
    L"磁盘空间不足：安装需要 %1 MB，“%2”所在的磁盘只有 %3 MB 可用。\r\n请释放磁盘空间或选择其他文件夹。";
const wchar_t kNoTemporaryRoomText[] =
    L"临时文件夹“%1”所在的磁盘空间不足：安装需要 %2 MB，只有 %3 MB 可用。\r\n请释放磁盘空间后重试。";

const wchar_t kProgramsDidNotCloseText[] = L"以下程序没有关闭，未做任何更改：%1";
const wchar_t kInUseByText[] = L". In use by %1";
const wchar_t kCannotDeleteKey[] = L"Failed to delete key '%1'. %2";
