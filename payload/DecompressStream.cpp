#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "payload/UnitZip.h"
#include "system/Error.h"
#include "system/Texts.h"

namespace {

// Input is handed to zlib in pieces of at most this many bytes.
constexpr std::size_t kChunkSize = 65536;

const wchar_t kReadError[] = L"Stream read error";

// One inflater from inflateInit to inflateEnd. zlib's state points back at
// the z_stream, so the guard can neither be copied nor moved.
class Inflater {
  public:
    Inflater() {
        const int code = inflateInit(&stream_);
        if (code != Z_OK)
            Raise(ZlibErrorText(code));
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& Stream() { return stream_; }

  private:
    z_stream stream_{};
};

std::unique_ptr<unsigned char[]> Allocate(std::size_t size) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (!block)
        Raise(kOutOfMemory);
    return block;
}

std::size_t ReadFully(ByteSource& source, unsigned char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = source.Read(buffer + done, count - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

}  // namespace

std::wstring ZlibErrorText(int code) {
    // zlib's texts are plain ASCII.
    const char* text = zError(code);
    return std::wstring(text, text + std::strlen(text));
}

namespace {

// The plain size from the container's first four bytes.
std::size_t PlainSize(ByteSource& source) {
    unsigned char sizeField[4];
    if (ReadFully(source, sizeField, sizeof sizeField) != sizeof sizeField)
        Raise(kReadError);
    const std::uint32_t field =
        sizeField[0] | sizeField[1] << 8 | sizeField[2] << 16 | static_cast<std::uint32_t>(sizeField[3]) << 24;
    // A negative count cannot be produced; the field is signed on disk.
    if (field > 0x7FFFFFFFu)
        Raise(kReadError);
    return field;
}

// Inflates exactly `plainSize` bytes of the stream into `window`, which holds
// `windowSize` bytes; each time it is full, and at the end, its bytes go to
// the sink, if any.
void Inflate(ByteSource& source, std::size_t plainSize, unsigned char* window, std::size_t windowSize, ByteSink* sink) {
    const std::unique_ptr<unsigned char[]> chunk = Allocate(kChunkSize);
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    std::size_t left = plainSize;
    bool ended = false;
    // Input is read only while output space is left, so a size of 0 reads
    // nothing more and a full block stops before the Adler-32 trailer.
    while (left > 0) {
        const std::size_t piece = left < windowSize ? left : windowSize;
        stream.next_out = window;
        stream.avail_out = static_cast<uInt>(piece);
        while (stream.avail_out > 0 && !ended) {
            if (stream.avail_in == 0) {
                const std::size_t got = source.Read(chunk.get(), kChunkSize);
                if (got == 0)
                    break;
                stream.next_in = chunk.get();
                stream.avail_in = static_cast<uInt>(got);
            }
            const int code = inflate(&stream, Z_NO_FLUSH);
            // A preset dictionary is never supplied, so asking for one is final.
            if (code < 0 || code == Z_NEED_DICT)
                Raise(ZlibErrorText(code));
            ended = code == Z_STREAM_END;
        }
        if (stream.avail_out > 0)
            Raise(kReadError);
        if (sink)
            sink->Write(window, piece);
        left -= piece;
    }
}

}  // namespace

void DecompressStream(ByteSource& source, ByteBuffer& output) {
    const std::size_t plainSize = PlainSize(source);
    std::unique_ptr<unsigned char[]> block = Allocate(plainSize);
    Inflate(source, plainSize, block.get(), plainSize, nullptr);
    output.Assign(std::move(block), plainSize);
}

void DecompressStream(ByteSource& source, ByteSink& output) {
    // Pieces of a size that the file system writes without splitting.
    constexpr std::size_t kPiece = 64 * 1024;
    const std::size_t plainSize = PlainSize(source);
    const std::unique_ptr<unsigned char[]> window = Allocate(plainSize < kPiece ? plainSize : kPiece);
    Inflate(source, plainSize, window.get(), kPiece, &output);
}
