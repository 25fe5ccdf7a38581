#include "install/PathRules.h"

std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring ParentPart(const std::wstring& path) {
    const auto last = path.find_last_of(L"\\:");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

std::wstring InstallDirBelow(const std::wstring& folder) {
    if (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L":\\") == 0)
        return folder + L"Zarvo";
    return folder.empty() ? folder : folder + L"\\Zarvo";
}
