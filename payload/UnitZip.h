#pragma once

#include <cstddef>
#include <string>

#include "payload/ByteBuffer.h"

// A readable byte stream positioned at the first byte of a container.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Returns the number of bytes read, 0 at the end; may throw Error.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
};

// Decodes one container: its plain size as a signed 32-bit little-endian
// count, then a zlib stream. On success the output holds exactly plain-size
// bytes; every failure throws Error.
void DecompressStream(ByteSource& source, ByteBuffer& output);

// Decodes the container in the file open as `source` (a Windows file handle),
// read from its current position, into the payload's plain bytes. The
// destination is written only once the whole payload is in memory, by the
// caller; a failure leaves it as it was.
void DecompressFile(void* source, ByteBuffer& plain);

// zlib's own text for one of its return codes, as the error shows it.
std::wstring ZlibErrorText(int code);
