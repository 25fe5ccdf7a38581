#include "system/ProcessNameRule.h"

#include <algorithm>

namespace {
wchar_t LowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
}  // namespace

bool SameExecutableName(std::wstring_view running, std::wstring_view wanted) {
    return running.size() == wanted.size() &&
           std::equal(running.begin(), running.end(), wanted.begin(),
                      [](wchar_t a, wchar_t b) { return LowerAscii(a) == LowerAscii(b); });
}
