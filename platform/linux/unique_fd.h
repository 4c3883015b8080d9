// A file descriptor that closes itself.
#pragma once

#include <unistd.h>

#include <utility>

namespace linkscope::live {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(-1); }

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }

private:
    void Reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

    int fd_ = -1;
};

}  // namespace linkscope::live
