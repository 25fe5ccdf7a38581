#pragma once

#include <unknwn.h>

// Gives back one reference. One function for every interface type: a copy of
// it for each ComPtr<T> would weigh as much as what calls it.
[[gnu::noinline]] inline void ReleaseReference(IUnknown* object) noexcept {
    if (object)
        object->Release();
}

// Move-only owner of one COM interface reference.
template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(ComPtr&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = other.ptr_;
            other.ptr_ = nullptr;
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept {
        ReleaseReference(ptr_);
        ptr_ = nullptr;
    }
    // Out-parameter for a creating call; whatever was held before is released
    // first, so the old reference cannot leak.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Asks the held object for another interface; null when it has none.
    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const {
        return ptr_->QueryInterface(iid, out.put_void());
    }

  private:
    T* ptr_ = nullptr;
};
