#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bytes as the UTF-16 code units that Windows hands the installer, two
// bytes each, low byte first; an odd last byte is dropped.
inline std::wstring WideText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    return text;
}
