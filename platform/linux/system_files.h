// Small reads of the file system for the live backend. None of them fails
// loudly: a file that is missing or unreadable is simply not there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace linkscope::live {

// The file's text, at most `maxBytes` of it; nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path, std::size_t maxBytes = 1 << 20);
bool PathExists(const std::string& path);
// The names in a folder, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& path);

}  // namespace linkscope::live
