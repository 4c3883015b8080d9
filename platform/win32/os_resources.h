// Owners of the operating-system resources this backend allocates. Each
// frees its resource with the call that matches the allocation, exactly
// once, and is movable but not copyable.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/win32/windows_api.h"

namespace linkscope::win32 {

// A zero-initialised fixed block from GlobalAlloc (flag 64), freed with
// GlobalFree. An empty block (failed allocation) has a null pointer.
class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(std::size_t size) { Allocate(size); }
    GlobalBlock(GlobalBlock&& other) noexcept
        : memory_(std::exchange(other.memory_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    GlobalBlock& operator=(GlobalBlock&& other) noexcept {
        if (this != &other) {
            Release();
            memory_ = std::exchange(other.memory_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~GlobalBlock() { Release(); }

    // Frees the current block first, then allocates `size` zeroed bytes.
    // Returns false when the allocation fails; the block is then empty.
    bool Reallocate(std::size_t size) {
        Release();
        return Allocate(size);
    }

    void* Get() const { return memory_; }
    std::size_t Size() const { return size_; }
    explicit operator bool() const { return memory_ != nullptr; }

private:
    bool Allocate(std::size_t size) {
        memory_ = GlobalAlloc(GPTR, size);  // GMEM_FIXED | GMEM_ZEROINIT
        size_ = memory_ != nullptr ? size : 0;
        return memory_ != nullptr;
    }
    void Release() {
        if (memory_ != nullptr) GlobalFree(memory_);
        memory_ = nullptr;
        size_ = 0;
    }

    void* memory_ = nullptr;
    std::size_t size_ = 0;
};

// A block from malloc, freed with free.
class MallocBlock {
public:
    // Frees the current block first, then allocates `size` bytes.
    bool Reallocate(std::size_t size) {
        memory_.reset();
        size_ = 0;
        memory_.reset(std::malloc(size));
        if (memory_) size_ = size;
        return static_cast<bool>(memory_);
    }
    void* Get() const { return memory_.get(); }
    std::size_t Size() const { return size_; }

private:
    struct Free {
        void operator()(void* memory) const { std::free(memory); }
    };
    std::unique_ptr<void, Free> memory_;
    std::size_t size_ = 0;
};

// An open registry key, closed with RegCloseKey.
struct RegKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

// A device information set, destroyed with SetupDiDestroyDeviceInfoList.
// SetupAPI reports failure with INVALID_HANDLE_VALUE, which is kept out.
class DeviceInfoSet {
public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set == INVALID_HANDLE_VALUE ? nullptr : set) {}
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet() {
        if (set_ != nullptr) SetupDiDestroyDeviceInfoList(set_);
    }
    HDEVINFO Get() const { return set_; }
    explicit operator bool() const { return set_ != nullptr; }

private:
    HDEVINFO set_;
};

// A library loaded with LoadLibraryA, released with FreeLibrary.
struct LibraryFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using LoadedLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

}  // namespace linkscope::win32
