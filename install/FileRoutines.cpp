#include "app/InstallMain.h"
#include "install/PathRules.h"
#include "system/Files.h"
#include "system/FolderSecurity.h"

bool TInstallForm::EnsureDirectory(const std::wstring& path) {
    if (DirectoryExists(path))
        return true;
    // Each folder made gets the product's list in the call that makes it: one
    // set afterwards would leave a moment in which another account could open
    // the folder and keep the handle, and what lies above (the root of a
    // drive lets every account change what is made below it) is not handed on.
    const UniqueLocalMemory security = ProductFolderSecurity();
    if (!security)
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
    return ForceDirectories(path, DirectoryExists, [&](const std::wstring& dir) {
        return CreateDirectoryW(dir.c_str(), &attributes) != FALSE;
    });
}
