// The output on its way to a stream: pieces are written into a buffer that
// goes out whenever it fills. Writers ask for room once per piece and then
// fill it through a plain pointer.
#pragma once

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace kvlhost {

class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out) : out_(out) {}
    // What was not flushed is dropped: a run that fails part-way never
    // writes the rest of a chunk.
    ~OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Room for `bytes` more, valid until the next call.
    char* Room(std::size_t bytes) {
        if (buffer_.size() - used_ < bytes) {
            Flush();
            if (buffer_.size() < bytes) buffer_.resize(bytes);
        }
        return buffer_.data() + used_;
    }
    // Ends the piece written into Room() at `end`.
    void Used(char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }
    void Put(char c) {
        *Room(1) = c;
        ++used_;
    }
    void Put(const char* text, std::size_t length) {
        std::memcpy(Room(length), text, length);
        used_ += length;
    }
    void Put(const std::string& text) { Put(text.data(), text.size()); }
    void Flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    std::ostream& out_;
    std::vector<char> buffer_ = std::vector<char>(kChunk);
    std::size_t used_ = 0;
};

}  // namespace kvlhost
