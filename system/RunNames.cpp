#include "system/RunNames.h"

#include "system/MessageText.h"

#include <utility>

namespace {

constexpr std::size_t kTagLength = 8;
// ".zs-" + tag + "-new" after the original name.
constexpr std::size_t kFileSuffix = 4 + kTagLength + 4;

bool IsTagAt(const std::wstring& text, std::size_t at) {
    for (std::size_t i = at; i < at + kTagLength; ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return false;
    }
    return true;
}

}  // namespace

std::wstring RunTag(unsigned long number) {
    std::wstring tag(kTagLength, L'0');
    for (std::size_t i = kTagLength; i-- > 0; number >>= 4)
        tag[i] = L"0123456789abcdef"[number & 0xF];
    return tag;
}

std::wstring NewName(const std::wstring& original, const std::wstring& tag) {
    return FormatText(L"%1.zs-%2-new", {original, tag});
}

std::wstring OldName(const std::wstring& original, const std::wstring& tag) {
    return FormatText(L"%1.zs-%2-old", {original, tag});
}

std::wstring DoneName(const std::wstring& tag) {
    return FormatText(L"zs-%1-done", {tag});
}

std::wstring JournalName(const std::wstring& tag) {
    return FormatText(L"zs-%1-journal", {tag});
}

RunName ParseRunName(const std::wstring& name) {
    RunName parsed;
    for (const auto& [suffix, kind] : {std::pair{L"-done", RunNameKind::Done}, {L"-journal", RunNameKind::Journal}}) {
        const std::size_t length = std::char_traits<wchar_t>::length(suffix);
        if (name.size() == 3 + kTagLength + length && name.compare(0, 3, L"zs-") == 0 && IsTagAt(name, 3) &&
            name.compare(3 + kTagLength, length, suffix) == 0) {
            parsed.kind = kind;
            parsed.tag = name.substr(3, kTagLength);
            return parsed;
        }
    }
    if (name.size() <= kFileSuffix)
        return parsed;
    const std::size_t at = name.size() - kFileSuffix;
    if (name.compare(at, 4, L".zs-") != 0 || !IsTagAt(name, at + 4))
        return parsed;
    const std::size_t what = at + 4 + kTagLength;
    if (name.compare(what, 4, L"-new") == 0)
        parsed.kind = RunNameKind::New;
    else if (name.compare(what, 4, L"-old") == 0)
        parsed.kind = RunNameKind::Old;
    else
        return parsed;
    parsed.tag = name.substr(at + 4, kTagLength);
    parsed.original = name.substr(0, at);
    return parsed;
}
