#include "install/PathRules.h"

#include "payload/Catalogue.h"

#include <algorithm>
#include <string_view>

namespace {

bool DriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool FileNameCharacter(wchar_t c) {
    return c >= 32 && std::wstring_view(L"<>:\"/\\|?*").find(c) == std::wstring_view::npos;
}

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 (also with the superscript
// digits that Windows counts among them), and the console's own two names:
// with or without an extension, such a name opens the device, not a file.
bool DeviceName(std::wstring_view component) {
    std::wstring_view base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    std::wstring upper;
    for (wchar_t c : base)
        upper += AsciiUpper(c);
    if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" || upper == L"CONIN$" ||
        upper == L"CONOUT$")
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, L"COM") == 0 || upper.compare(0, 3, L"LPT") == 0) &&
           std::wstring_view(L"123456789\u00b9\u00b2\u00b3").find(upper[3]) != std::wstring_view::npos;
}

// The longest path that the installation writes below the install directory.
std::size_t LongestInstalledSuffix() {
    std::size_t longest = 0;
    for (const wchar_t* payload : PayloadNames)
        longest = std::max(longest, PayloadDestination(L"", payload, PayloadFileName(payload)).size());
    return longest;
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

std::vector<std::wstring> FoldersBetween(const std::wstring& dir, const std::wstring& outermost) {
    std::vector<std::wstring> folders;
    const std::size_t length = outermost.size();
    if (WellFormedInstallDir(outermost) && dir.size() > length && dir.compare(0, length, outermost) == 0 &&
        dir[length] == L'\\')
        for (std::size_t end = dir.rfind(L'\\'); end >= length; end = dir.rfind(L'\\', end - 1))
            folders.push_back(dir.substr(0, end));
    return folders;
}

std::wstring InstallDirBelow(const std::wstring& folder) {
    if (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L":\\") == 0)
        return folder + L"Zarvo";
    return folder.empty() ? folder : folder + L"\\Zarvo";
}

bool WellFormedInstallDir(const std::wstring& text) {
    // The deepest file must stay within the classic path limit.
    if (text.size() + LongestInstalledSuffix() > 259)
        return false;
    std::size_t start;
    // Components that name the root: none for a drive, server and share.
    std::size_t rootComponents;
    if (text.size() >= 3 && DriveLetter(text[0]) && text[1] == L':' && text[2] == L'\\') {
        start = 3;
        rootComponents = 0;
    } else if (text.size() >= 2 && text[0] == L'\\' && text[1] == L'\\') {
        // Server and share must both be named.
        const std::size_t share = text.find(L'\\', 2);
        if (share == 2 || share == std::wstring::npos || share + 1 == text.size() || text[share + 1] == L'\\')
            return false;
        start = 2;
        rootComponents = 2;
    } else {
        return false;
    }
    std::size_t components = 0;
    for (std::size_t end = start; start <= text.size(); start = end + 1) {
        end = std::min(text.find(L'\\', start), text.size());
        const std::wstring_view component(text.data() + start, end - start);
        if (component.empty())
            continue;
        if (component.back() == L' ' || component.back() == L'.' || DeviceName(component))
            return false;
        for (wchar_t c : component)
            if (!FileNameCharacter(c))
                return false;
        ++components;
    }
    // A drive or share root would spread the product over it.
    return components > rootComponents;
}
