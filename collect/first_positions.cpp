#include "collect/first_positions.h"

#include <algorithm>

namespace linkscope {

FirstPositions::FirstPositions(std::size_t expectedKeys) : index_(expectedKeys) { keys_.reserve(expectedKeys); }

void FirstPositions::Add(std::string_view key, std::uint32_t position, std::uint32_t stamp) {
    const auto [at, added] = index_.Emplace(key, keys_.size(), [this](std::size_t at) { return TextAt(at); });
    if (added) keys_.push_back(Key{std::string(key), {}});
    auto& heap = keys_[at].heap;
    heap.push_back(Entry{position, stamp});
    std::push_heap(heap.begin(), heap.end(), LaterPosition());
}

std::size_t FirstPositions::First(std::string_view key, const std::vector<std::uint32_t>& stamps) {
    const std::size_t at = index_.Find(key, [this](std::size_t at) { return TextAt(at); });
    if (at == npos) return npos;
    auto& heap = keys_[at].heap;
    while (!heap.empty() && heap.front().stamp != stamps[heap.front().position]) {
        std::pop_heap(heap.begin(), heap.end(), LaterPosition());
        heap.pop_back();
    }
    return heap.empty() ? npos : heap.front().position;
}

}  // namespace linkscope
