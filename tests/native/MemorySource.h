#pragma once

#include <algorithm>
#include <cstring>

#include "payload/UnitZip.h"

// A container already in memory, handed out in reads of at most maxRead bytes.
// It counts what was read and remembers the largest read asked for.
class MemorySource : public ByteSource {
  public:
    MemorySource(const unsigned char* data, std::size_t size, std::size_t maxRead = static_cast<std::size_t>(-1))
        : data_(data), size_(size), maxRead_(maxRead) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        largestRequest_ = std::max(largestRequest_, count);
        const std::size_t n = std::min({count, maxRead_, size_ - position_});
        if (n > 0)
            std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return n;
    }

    std::size_t Position() const { return position_; }
    std::size_t LargestRequest() const { return largestRequest_; }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t maxRead_;
    std::size_t position_ = 0;
    std::size_t largestRequest_ = 0;
};
