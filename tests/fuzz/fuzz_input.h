// A fuzz input read as a stream of choices: numbers, flags and byte strings
// taken from the front. An exhausted input reads as zeros and empty strings,
// so every input, however short, decodes to something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace linkscope::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ == size_; }

    // Little-endian, sizeof(T) bytes.
    template <class T>
    T Number() {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        return static_cast<T>(value);
    }

    // 0 .. count-1; count must not be 0.
    std::uint32_t Below(std::uint32_t count) {
        return count <= 256 ? Byte() % count : Number<std::uint32_t>() % count;
    }

    bool Flag() { return Byte() & 1; }

    // An element of `list`, or null when it is empty.
    template <class T>
    T* Pick(std::vector<T>& list) {
        return list.empty() ? nullptr : &list[Below(static_cast<std::uint32_t>(list.size()))];
    }

    // Mostly one of `usual`, sometimes any number.
    template <class T, std::size_t N>
    T UsualOrAny(const T (&usual)[N]) {
        const std::uint32_t pick = Below(N + 1);
        return pick < N ? usual[pick] : Number<T>();
    }

    // A length byte (two bytes when `maxLength` is above 255), then as many
    // bytes as it says, cut at `maxLength` and at the end of the input.
    std::vector<std::uint8_t> Bytes(std::size_t maxLength) {
        std::size_t length = maxLength > 255 ? Number<std::uint16_t>() : Byte();
        if (length > maxLength) length = maxLength;
        if (length > size_ - at_) length = size_ - at_;
        std::vector<std::uint8_t> bytes(data_ + at_, data_ + at_ + length);
        at_ += length;
        return bytes;
    }

    std::string Text(std::size_t maxLength) {
        const std::vector<std::uint8_t> bytes = Bytes(maxLength);
        return std::string(bytes.begin(), bytes.end());
    }

    // A text that the system hands over as a C string: up to its first NUL.
    std::string CText(std::size_t maxLength) {
        const std::string text = Text(maxLength);
        return text.substr(0, text.find('\0'));
    }

    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return rest;
    }

    // One of `choices`, or a C text of the input (at most `maxLength` bytes)
    // when the choice falls past them.
    std::string TextOr(const std::vector<std::string>& choices, std::size_t maxLength) {
        const std::uint32_t pick = Below(static_cast<std::uint32_t>(choices.size()) + 1);
        return pick < choices.size() ? choices[pick] : CText(maxLength);
    }

private:
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace linkscope::fuzz
