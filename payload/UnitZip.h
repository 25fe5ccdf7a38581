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

// Where plain bytes go as they are inflated.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Takes the next piece; may throw Error.
    virtual void Write(const unsigned char* data, std::size_t size) = 0;
};

// Decodes one container: its plain size as a signed 32-bit little-endian
// count, then a zlib stream. On success the output holds exactly plain-size
// bytes; every failure throws Error.
void DecompressStream(ByteSource& source, ByteBuffer& output);

// The same, handing the plain bytes to the sink piece by piece as they are
// inflated, so that a payload never lies whole in memory; the sink has taken
// exactly plain-size bytes when it returns. On a failure the sink may have
// taken some: the caller writes into a file of its own, which goes again.
void DecompressStream(ByteSource& source, ByteSink& output);

// Decodes the container in the file open as `source` (a Windows file handle),
// read from its current position, into the file open as `destination`.
void DecompressFile(void* source, void* destination);

// zlib's own text for one of its return codes, as the error shows it.
std::wstring ZlibErrorText(int code);
