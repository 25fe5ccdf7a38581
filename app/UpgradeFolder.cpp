#include "app/UpgradeFolder.h"

#include "install/PathRules.h"

namespace {

bool Around(wchar_t c) {
    return c == L' ' || c == L'"';
}

// Without the spaces and quotes around it and the backslashes at its end.
std::wstring Bare(const std::wstring& path) {
    std::size_t begin = 0;
    std::size_t end = path.size();
    while (end > 0 && (Around(path[end - 1]) || path[end - 1] == L'\\'))
        --end;
    while (begin < end && Around(path[begin]))
        ++begin;
    return path.substr(begin, end - begin);
}

}  // namespace

std::wstring RegisteredFolder(const std::wstring& text, bool namesFile) {
    std::wstring folder = Bare(text);
    // The closing quote and an icon index go with the file's name.
    if (namesFile)
        folder = Bare(ParentPart(folder));
    return WellFormedInstallDir(folder) ? folder : std::wstring();
}
