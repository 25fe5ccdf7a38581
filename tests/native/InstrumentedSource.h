#pragma once

#include "payload/MemorySource.h"

#include <algorithm>

// A container in memory, handed out in reads of at most maxRead bytes. It
// remembers how far it was read and the largest read asked for.
class InstrumentedSource : public ByteSource {
  public:
    InstrumentedSource(const unsigned char* data, std::size_t size, std::size_t maxRead = static_cast<std::size_t>(-1))
        : inner_(data, size), maxRead_(maxRead) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        largestRequest_ = std::max(largestRequest_, count);
        return inner_.Read(buffer, std::min(count, maxRead_));
    }

    std::size_t Position() const { return inner_.Position(); }
    std::size_t LargestRequest() const { return largestRequest_; }

  private:
    MemorySource inner_;
    std::size_t maxRead_;
    std::size_t largestRequest_ = 0;
};
