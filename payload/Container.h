#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest plain size that a container's signed 32-bit size field holds.
inline constexpr std::size_t kMaxContainerPlainSize = 2147483647;

// A container: the plain size (32-bit little-endian), then a zlib stream at
// libdeflate's strongest level, checked before it is handed out. Build tools only.
std::vector<unsigned char> MakeContainer(const std::vector<unsigned char>& plain);

// Throws Error unless zlib, set up as the installer's decoder sets it up,
// inflates the container's stream to exactly `plain`, the stream ending at
// the container's last byte, and the size field records the plain size.
void CheckContainer(const std::vector<unsigned char>& container, const std::vector<unsigned char>& plain);

// The plain size that a container records in its first four bytes. Inline:
// the installer reads it without linking the packing code and its compressor.
inline std::uint32_t ContainerPlainSize(const unsigned char* container) {
    return container[0] | container[1] << 8 | container[2] << 16 | static_cast<std::uint32_t>(container[3]) << 24;
}
