#include "system/PathRoot.h"

std::wstring PathRoot(const std::wstring& path) {
    const std::size_t end =
        path.compare(0, 2, L"\\\\") == 0 ? path.find(L'\\', path.find(L'\\', 2) + 1) : path.find(L'\\');
    return end == std::wstring::npos ? path + L"\\" : path.substr(0, end + 1);
}
