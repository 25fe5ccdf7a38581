#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest plain size that a container's signed 32-bit size field holds.
inline constexpr std::size_t kMaxContainerPlainSize = 2147483647;

// Builds a container: the plain size as 32-bit little-endian, then zlib's
// compress() output at its default settings. Throws Error when the plain data
// is larger than kMaxContainerPlainSize or zlib fails.
std::vector<unsigned char> MakeContainer(const std::vector<unsigned char>& plain);

// The plain size that a container records in its first four bytes. Inline:
// the installer reads it without linking the packing code and its compressor.
inline std::uint32_t ContainerPlainSize(const unsigned char* container) {
    return container[0] | container[1] << 8 | container[2] << 16 | static_cast<std::uint32_t>(container[3]) << 24;
}
