#pragma once

#include <cstddef>
#include <memory>
#include <utility>

// Bytes that a decoder produced, kept in the one block it decoded into: no
// second copy and no zero-filling. Move-only; a moved-from buffer is empty.
class ByteBuffer {
  public:
    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept : data_(std::move(other.data_)), size_(std::exchange(other.size_, 0)) {}
    ByteBuffer& operator=(ByteBuffer&& other) noexcept {
        data_ = std::move(other.data_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    const unsigned char* data() const noexcept { return data_.get(); }
    std::size_t size() const noexcept { return size_; }

    // Takes over a block of size bytes, releasing what the buffer held.
    void Assign(std::unique_ptr<unsigned char[]> block, std::size_t size) noexcept {
        data_ = std::move(block);
        size_ = size;
    }

  private:
    std::unique_ptr<unsigned char[]> data_;
    std::size_t size_ = 0;
};
