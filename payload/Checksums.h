#pragma once

#include <cstddef>
#include <vector>

// The table that the build embeds beside the payload containers, so that the
// installer can tell a damaged copy of itself before it changes anything: the
// Adler-32 of each container (the check that the installer's inflater already
// carries), in catalogue order, four bytes little-endian each.

void AppendChecksum(std::vector<unsigned char>& table, const unsigned char* container, std::size_t size);

// Whether entry `index` of the table is the checksum of the container; false
// also when the table has no such entry.
bool ChecksumMatches(const unsigned char* table,
                     std::size_t tableSize,
                     std::size_t index,
                     const unsigned char* container,
                     std::size_t size);
