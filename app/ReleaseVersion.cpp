#include "app/ReleaseVersion.h"

std::optional<ReleaseVersion> ParseReleaseVersion(const std::wstring& text) {
    ReleaseVersion version{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < version.size(); ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != L'.'))
            return std::nullopt;
        std::uint32_t number = 0;
        const std::size_t start = at;
        for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9' && at - start < 5; ++at)
            number = number * 10 + (text[at] - L'0');
        if (at == start || number > 0xFFFF)
            return std::nullopt;
        version[part] = static_cast<std::uint16_t>(number);
    }
    if (at != text.size())
        return std::nullopt;
    return version;
}
