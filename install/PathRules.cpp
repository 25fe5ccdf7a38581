#include "install/PathRules.h"

#include <algorithm>
#include <string_view>

namespace {

bool DriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool FileNameCharacter(wchar_t c) {
    return c >= 32 && std::wstring_view(L"<>:\"/\\|?*").find(c) == std::wstring_view::npos;
}

}  // namespace

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

bool WellFormedInstallDir(const std::wstring& text) {
    std::size_t start;
    if (text.size() >= 3 && DriveLetter(text[0]) && text[1] == L':' && text[2] == L'\\') {
        start = 3;
    } else if (text.size() >= 2 && text[0] == L'\\' && text[1] == L'\\') {
        // Server and share must both be named.
        const std::size_t share = text.find(L'\\', 2);
        if (share == 2 || share == std::wstring::npos || share + 1 == text.size() || text[share + 1] == L'\\')
            return false;
        start = 2;
    } else {
        return false;
    }
    for (std::size_t end = start; start <= text.size(); start = end + 1) {
        end = std::min(text.find(L'\\', start), text.size());
        const std::wstring_view component(text.data() + start, end - start);
        if (!component.empty() && (component.back() == L' ' || component.back() == L'.'))
            return false;
        for (wchar_t c : component)
            if (!FileNameCharacter(c))
                return false;
    }
    return true;
}
