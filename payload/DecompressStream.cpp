#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "payload/UnitZip.h"
#include "system/Error.h"

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
            throw Error(ZlibErrorText(code));
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
        throw Error(L"Out of memory");
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

void DecompressStream(ByteSource& source, ByteBuffer& output) {
    unsigned char sizeField[4];
    if (ReadFully(source, sizeField, sizeof sizeField) != sizeof sizeField)
        throw Error(kReadError);
    const std::uint32_t field =
        sizeField[0] | sizeField[1] << 8 | sizeField[2] << 16 | static_cast<std::uint32_t>(sizeField[3]) << 24;
    // A negative count cannot be produced; the field is signed on disk.
    if (field > 0x7FFFFFFFu)
        throw Error(kReadError);
    const std::size_t plainSize = field;

    std::unique_ptr<unsigned char[]> block = Allocate(plainSize);
    const std::unique_ptr<unsigned char[]> chunk = Allocate(kChunkSize);
    Inflater inflater;
    z_stream& stream = inflater.Stream();
    stream.next_out = block.get();
    stream.avail_out = static_cast<uInt>(plainSize);
    // Input is read only while output space is left, so a size of 0 reads
    // nothing more and a full block stops before the Adler-32 trailer.
    while (stream.avail_out > 0) {
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
            throw Error(ZlibErrorText(code));
        if (code == Z_STREAM_END)
            break;
    }
    if (stream.avail_out > 0)
        throw Error(kReadError);
    output.Assign(std::move(block), plainSize);
}
