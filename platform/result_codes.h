// Result codes of the platform calls, with the values the system's own
// calls use, so that logged codes read the same on every backend.
#pragma once

#include <cstdint>

namespace linkscope::platform {

using ResultCode = std::uint32_t;

inline constexpr ResultCode kSuccess = 0;
inline constexpr ResultCode kFileNotFound = 2;
inline constexpr ResultCode kAccessDenied = 5;
inline constexpr ResultCode kInvalidHandle = 6;
inline constexpr ResultCode kNotEnoughMemory = 8;
inline constexpr ResultCode kNotSupported = 50;
inline constexpr ResultCode kInvalidParameter = 87;
inline constexpr ResultCode kBufferOverflow = 111;
inline constexpr ResultCode kInsufficientBuffer = 122;
inline constexpr ResultCode kModuleNotFound = 126;
inline constexpr ResultCode kProcNotFound = 127;
inline constexpr ResultCode kMoreData = 234;
inline constexpr ResultCode kNoMoreItems = 259;
inline constexpr ResultCode kNoData = 232;

}  // namespace linkscope::platform
