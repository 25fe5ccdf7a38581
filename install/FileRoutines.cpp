#include "app/InstallMain.h"
#include "install/PathRules.h"
#include "system/Files.h"

bool TInstallForm::EnsureDirectory(const std::wstring& path) {
    if (DirectoryExists(path))
        return true;
    return ForceDirectories(path, DirectoryExists,
                            [](const std::wstring& dir) { return CreateDirectoryW(dir.c_str(), nullptr) != FALSE; });
}
