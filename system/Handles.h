#pragma once

#include <objbase.h>
#include <windows.h>

// Move-only owner of one Win32 handle; Traits says what "none" is and how to
// give the handle back.
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::IsValid(value_); }

    Type release() noexcept {
        Type value = value_;
        value_ = Traits::None();
        return value;
    }
    void reset(Type value = Traits::None()) noexcept {
        if (Traits::IsValid(value_))
            Traits::Close(value_);
        value_ = value;
    }

  private:
    Type value_ = Traits::None();
};

// Kernel handles: files and snapshots fail with INVALID_HANDLE_VALUE, processes
// and tokens with null, so both count as no handle.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type None() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// Registry keys; the predefined roots are never closed.
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type None() { return nullptr; }
    static bool IsValid(Type key) {
        auto value = reinterpret_cast<ULONG_PTR>(key);
        return key != nullptr && !(value >= 0x80000000u && value <= 0x80000006u);
    }
    static void Close(Type key) { RegCloseKey(key); }
};
using UniqueHKey = UniqueResource<RegistryKeyTraits>;

struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type None() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { GlobalFree(h); }
};
using UniqueHGlobal = UniqueResource<GlobalMemoryTraits>;

// Loaded resource data; FreeResource is a formality on Win32, kept so that every
// acquisition has its release.
struct ResourceDataTraits {
    using Type = HGLOBAL;
    static Type None() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { FreeResource(h); }
};
using UniqueResourceData = UniqueResource<ResourceDataTraits>;

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type None() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;

// Blocks the system allocates for the caller, such as security descriptors.
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type None() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { LocalFree(h); }
};
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;

struct CoTaskMemoryTraits {
    using Type = void*;
    static Type None() { return nullptr; }
    static bool IsValid(Type p) { return p != nullptr; }
    static void Close(Type p) { CoTaskMemFree(p); }
};
using UniqueCoTaskMemory = UniqueResource<CoTaskMemoryTraits>;

// Automation strings, as the shell's scripting objects take them.
struct BstrTraits {
    using Type = BSTR;
    static Type None() { return nullptr; }
    static bool IsValid(Type s) { return s != nullptr; }
    static void Close(Type s) { SysFreeString(s); }
};
using UniqueBstr = UniqueResource<BstrTraits>;
