#include "system/Shortcut.h"
#include "app/InstallMain.h"
#include "system/Error.h"
#include "system/FileTransaction.h"
#include "system/MessageText.h"
#include "system/ShellLink.h"

using namespace InstallMain;

namespace {

const wchar_t kGroup[] = L"泽沃浏览器";

struct Link {
    int kind;
    const wchar_t* linkName;
    const wchar_t* target;
    const wchar_t* description;
};
const wchar_t kBrowserDescription[] =
    L"泽沃浏览器是一款集多窗口，多线程，智能屏蔽等功能于一体的大众浏览器，具有方便，快速，稳定，安全，易用，"
    L"绿色等特点，他完全免费，没有任何功能限制。轻松带您泽沃互联网世界。";
const Link kLinks[] = {
    {1, L"泽沃浏览器.lnk", L"\\Zarvo.exe", kBrowserDescription},
    {2, L"泽沃浏览器\\泽沃浏览器.lnk", L"\\Zarvo.exe", kBrowserDescription},
    {2, L"泽沃浏览器\\在线升级.lnk", L"\\ZarvUpdate.exe", L"在线升级，快速将软件升级到最新版本。"},
    {2, L"泽沃浏览器\\更新记录.lnk", L"\\whatsnew.txt", L"记录泽沃浏览器的更新历史。"},
    {2, L"泽沃浏览器\\卸载泽沃浏览器.lnk", L"\\Uninstall.exe", L"卸载程序"},
};

// The path of the all-users desktop (kind 1) or Start-menu programs folder
// (kind 2), straight from its number: the path that its item-ID list would
// give, at a third of the cost of making the list and reading it back. A
// failed lookup leaves the path empty.
void LookUpFolder(int locationKind) {
    const int folderNumber = locationKind == 1 ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_COMMON_PROGRAMS;
    if (FAILED(SHGetFolderPathW(nullptr, folderNumber, nullptr, SHGFP_TYPE_CURRENT, ShortcutWork.folderPath)))
        ShortcutWork.folderPath[0] = L'\0';
}

}  // namespace

void TInstallForm::CreateShortcut(const std::wstring& target,
                                  const std::wstring& workingDirectory,
                                  const wchar_t* folder,
                                  const wchar_t* description,
                                  const wchar_t* linkName,
                                  const wchar_t* arguments,
                                  int locationKind,
                                  FileTransaction& files) {
    // Without the shell-link object (its creation failed at start-up) there
    // is nothing to save a shortcut with.
    if (!ShellLinkInterface || !PersistInterface)
        throw Error(L"Interface not supported");
    ShellLinkInterface->SetPath(target.c_str());
    ShellLinkInterface->SetWorkingDirectory(workingDirectory.c_str());
    ShellLinkInterface->SetArguments(arguments);

    LookUpFolder(locationKind);
    const std::wstring folderPath = ShortcutWork.folderPath;
    DWORD error = 0;
    // The folder is held, and the shortcut written through it like the
    // product's files: a link or a second name planted at its place (on a
    // desktop that users may write to) is replaced as a name, never written
    // through. Without the folder there is no shortcut, as ever when one
    // cannot be saved.
    HeldFolder place = folderPath.empty() ? HeldFolder() : HeldFolder::Open(folderPath, error);
    if (!place)
        return;
    if (locationKind == 2) {
        bool created = false;
        HeldFolder group = place.RealFolder(folder, error, &created);
        // A file in the way is reported as the folder's creation reports it.
        if (!group)
            throw Error(IoErrorMessage(error == ERROR_DIRECTORY ? ERROR_ALREADY_EXISTS : error));
        if (created)
            files.Made(place, folder);
        place = std::move(group);
    }
    ShellLinkInterface->SetDescription(description);
    ShortcutWork.linkPath = folderPath + L"\\" + linkName;
    const std::vector<unsigned char> bytes = ShortcutBytes(PersistInterface.get());
    try {
        if (!bytes.empty())
            files.Write(files.Hold(std::move(place), ShortcutWork.linkPath, 0), bytes.data(), bytes.size());
    } catch (const Error&) {
        // A shortcut that cannot be written is missing, and the one it would
        // have replaced stays.
    }
}

void CreateProductShortcuts(const std::wstring& installDir, bool desktop, bool startMenu, FileTransaction& files) {
    for (const Link& link : kLinks)
        if (link.kind == 1 ? desktop : startMenu)
            TInstallForm::CreateShortcut(installDir + link.target, installDir, link.kind == 2 ? kGroup : L"",
                                         link.description, link.linkName, L"", link.kind, files);
}

std::vector<HeldFolder> ShortcutFolders() {
    std::vector<HeldFolder> folders;
    DWORD error = 0;
    for (int kind : {1, 2}) {
        LookUpFolder(kind);
        HeldFolder folder =
            ShortcutWork.folderPath[0] ? HeldFolder::Open(ShortcutWork.folderPath, error) : HeldFolder();
        if (kind == 2 && folder)
            folder = folder.ExistingFolder(kGroup, error);
        if (folder)
            folders.push_back(std::move(folder));
    }
    return folders;
}
