// Feeds arbitrary bytes to the container decoder, once in a single read and
// once a byte at a time. Either may end in a clean Error; crashes, hangs,
// leaks and other exceptions are findings, and so is a result that is not
// exactly the claimed size or that depends on how the source hands out bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "payload/UnitZip.h"
#include "system/Error.h"
#include "tests/native/InstrumentedSource.h"

namespace {

bool Decode(const std::uint8_t* data, std::size_t size, std::size_t maxRead, ByteBuffer& output) {
    InstrumentedSource source(data, size, maxRead);
    try {
        DecompressStream(source, output);
    } catch (const Error&) {
        return false;
    }
    const std::uint32_t claimed = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    if (output.size() != claimed)
        std::abort();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteBuffer whole, bytewise;
    const bool wholeDecoded = Decode(data, size, size, whole);
    const bool bytewiseDecoded = Decode(data, size, 1, bytewise);
    // Reading a byte at a time sees a prefix of what one read sees, so it
    // can only stop earlier, before an error in the trailer, never later.
    if (wholeDecoded && (!bytewiseDecoded || std::memcmp(whole.data(), bytewise.data(), whole.size()) != 0))
        std::abort();
    return 0;
}
