#include "payload/Checksums.h"

#include <zlib.h>

#include <cstdint>

namespace {

constexpr std::size_t kEntrySize = 4;

std::uint32_t Checksum(const unsigned char* container, std::size_t size) {
    return static_cast<std::uint32_t>(adler32_z(adler32_z(0, nullptr, 0), container, size));
}

}  // namespace

void AppendChecksum(std::vector<unsigned char>& table, const unsigned char* container, std::size_t size) {
    const std::uint32_t checksum = Checksum(container, size);
    for (std::size_t i = 0; i < kEntrySize; ++i)
        table.push_back(static_cast<unsigned char>(checksum >> (8 * i)));
}

bool ChecksumMatches(const unsigned char* table,
                     std::size_t tableSize,
                     std::size_t index,
                     const unsigned char* container,
                     std::size_t size) {
    if (index >= tableSize / kEntrySize)
        return false;
    const unsigned char* entry = table + index * kEntrySize;
    const std::uint32_t recorded =
        entry[0] | entry[1] << 8 | entry[2] << 16 | static_cast<std::uint32_t>(entry[3]) << 24;
    return recorded == Checksum(container, size);
}
