// Bounds-checked reading of a record that the NIC management library
// filled: its bytes are not trusted. A number that would reach past the
// record reads as 0; a text ends at its NUL, at its field's end or at the
// record's end, whichever comes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace linkscope::bmapi {

// A text field: where it starts and where the next field begins.
struct TextField {
    std::size_t offset;
    std::size_t end;
};

class RecordView {
public:
    RecordView(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    std::size_t Size() const { return size_; }

    // Little-endian, as the library writes it on every platform it runs on.
    std::uint32_t U32(std::size_t offset) const {
        if (offset > size_ || size_ - offset < 4) return 0;
        const std::uint8_t* at = bytes_ + offset;
        return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
    }

    std::string Text(TextField field) const {
        if (field.offset >= size_ || field.end <= field.offset) return {};
        const std::size_t limit = (field.end < size_ ? field.end : size_) - field.offset;
        const auto* start = reinterpret_cast<const char*>(bytes_ + field.offset);
        const void* nul = std::memchr(start, 0, limit);
        return std::string(start, nul ? static_cast<const char*>(nul) - start : limit);
    }

private:
    const std::uint8_t* bytes_;
    std::size_t size_;
};

}  // namespace linkscope::bmapi
