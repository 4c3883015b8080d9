// The operator's switch that keeps every network address out of the report.
#pragma once

namespace linkscope {

inline constexpr char kExcludeIpVariable[] = "KVL_EXCLUDEIP";

// True when KVL_EXCLUDEIP is set to at least one character. The value
// itself is never looked at.
bool ReadExcludeIpSwitch();

}  // namespace linkscope
