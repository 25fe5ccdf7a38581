#include "app/InstallMain.h"
#include "install/PathRules.h"

namespace {

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool TInstallForm::EnsureDirectory(const std::wstring& path) {
    if (DirectoryExists(path))
        return true;
    return ForceDirectories(path, DirectoryExists,
                            [](const std::wstring& dir) { return CreateDirectoryW(dir.c_str(), nullptr) != FALSE; });
}

void TInstallForm::DeleteIfExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(path.c_str());
}
