#pragma once

#include "payload/UnitZip.h"

#include <algorithm>
#include <cstring>

// A container that is already in memory, such as a picture embedded in the
// executable.
class MemorySource : public ByteSource {
  public:
    MemorySource(const void* data, std::size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t n = std::min(count, size_ - position_);
        if (n > 0)
            std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return n;
    }

    std::size_t Position() const { return position_; }

  private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};
