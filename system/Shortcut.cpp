#include "system/Shortcut.h"
#include "app/InstallMain.h"
#include "system/Error.h"
#include "system/Files.h"
#include "system/MessageText.h"

using namespace InstallMain;

void TInstallForm::CreateShortcut(const std::wstring& target,
                                  const std::wstring& workingDirectory,
                                  const std::wstring& folder,
                                  const std::wstring& description,
                                  const std::wstring& linkName,
                                  const std::wstring& arguments,
                                  int locationKind) {
    // Without the shell-link object (its creation failed at start-up) there
    // is nothing to save a shortcut with.
    if (!ShellLinkInterface || !PersistInterface)
        throw Error(L"Interface not supported");
    ShellLinkInterface->SetPath(target.c_str());
    ShellLinkInterface->SetWorkingDirectory(workingDirectory.c_str());
    ShellLinkInterface->SetArguments(arguments.c_str());

    // The folder's path straight from its number: the path that its item-ID
    // list would give, at a third of the cost of making the list and reading
    // it back. A failed lookup leaves the path empty.
    const int folderNumber = locationKind == 1 ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_COMMON_PROGRAMS;
    if (FAILED(SHGetFolderPathW(nullptr, folderNumber, nullptr, SHGFP_TYPE_CURRENT, ShortcutWork.folderPath)))
        ShortcutWork.folderPath[0] = L'\0';
    const std::wstring folderPath = ShortcutWork.folderPath;

    if (locationKind == 2) {
        const std::wstring group = folderPath + L"\\" + folder;
        if (!DirectoryExists(group) && !CreateDirectoryW(group.c_str(), nullptr))
            throw Error(IoErrorMessage(GetLastError()));
    }
    ShellLinkInterface->SetDescription(description.c_str());
    ShortcutWork.linkPath = folderPath + L"\\" + linkName;
    PersistInterface->Save(ShortcutWork.linkPath.c_str(), FALSE);
}

void CreateProductShortcuts(const std::wstring& installDir) {
    static const wchar_t kGroup[] = L"泽沃浏览器";
    static const wchar_t kBrowserDescription[] =
        L"泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，"
        L"绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。";
    struct Link {
        int kind;
        const wchar_t* folder;
        const wchar_t* linkName;
        const wchar_t* target;
        const wchar_t* description;
    };
    static const Link kLinks[] = {
        {1, L"", L"泽沃浏览器.lnk", L"\\Zarvo.exe", kBrowserDescription},
        {2, kGroup, L"泽沃浏览器\\泽沃浏览器.lnk", L"\\Zarvo.exe", kBrowserDescription},
        {2, kGroup, L"泽沃浏览器\\在线升级.lnk", L"\\ZarvUpdate.exe", L"在线升级，快速将软件升级到最新版本。"},
        {2, kGroup, L"泽沃浏览器\\更新记录.lnk", L"\\whatsnew.txt", L"记录泽沃浏览器的更新历史。"},
        {2, kGroup, L"泽沃浏览器\\卸载泽沃浏览器.lnk", L"\\Uninstall.exe", L"卸载程序"},
    };
    for (const Link& link : kLinks)
        TInstallForm::CreateShortcut(installDir + link.target, installDir, link.folder, link.description, link.linkName,
                                     L"", link.kind);
}
