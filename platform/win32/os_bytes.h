// Reading what the operating system wrote into a caller's buffer. The
// buffer's bytes are not trusted: a structure or a pointer found in them is
// used only when what it points to lies wholly inside the buffer, and a
// text ends at its NUL or at the end of its field or of the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace linkscope::win32 {

class OsBytes {
public:
    OsBytes() = default;
    OsBytes(const void* data, std::size_t size) : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

    std::size_t Size() const { return size_; }

    // `count` consecutive T starting at `pointer`, or null when they do not
    // lie wholly inside the buffer or `pointer` is misaligned for T.
    template <class T>
    const T* At(const void* pointer, std::size_t count = 1) const {
        const auto address = reinterpret_cast<std::uintptr_t>(pointer);
        const auto begin = reinterpret_cast<std::uintptr_t>(data_);
        if (data_ == nullptr || address < begin || address % alignof(T) != 0) return nullptr;
        const std::size_t offset = address - begin;
        if (offset > size_ || count > (size_ - offset) / sizeof(T)) return nullptr;
        return static_cast<const T*>(pointer);
    }

    // The structure at the start of the buffer.
    template <class T>
    const T* First() const {
        return At<T>(data_);
    }

    // The text at `pointer`, up to its NUL or the end of the buffer; empty
    // when `pointer` is null or outside the buffer.
    std::string TextAt(const char* pointer) const {
        const char* start = At<char>(pointer);
        if (start == nullptr) return std::string();
        const std::size_t room = size_ - static_cast<std::size_t>(reinterpret_cast<const std::uint8_t*>(start) - data_);
        const void* nul = std::memchr(start, 0, room);
        return std::string(start, nul ? static_cast<const char*>(nul) : start + room);
    }

    // How many structures of type T the buffer could hold: a bound on the
    // length of any chain of them, so that a looping chain ends.
    template <class T>
    std::size_t Capacity() const {
        return size_ / sizeof(T);
    }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// A fixed-size character field: its text up to the first NUL, or the whole
// field when it has none.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* nul = std::memchr(field, 0, N);
    return std::string(field, nul ? static_cast<const char*>(nul) : field + N);
}

}  // namespace linkscope::win32
