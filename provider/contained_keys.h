// Items of a list found by a key that occurs within a given text: the
// first item, in list order, whose key is a substring of the text, and the
// same while skipping items already handed out.
//
// Equal keys share one entry, which chains its items in list order. A text
// is searched by sliding a window of each distinct key length (no longer
// than the text) over it and looking each window up by a rolling hash, so a
// search costs the text's length times the number of distinct key lengths,
// whatever the number of items. Handing out is kept per key as the first
// item not yet handed out; it only moves forward, so all searches of a pass
// together move it at most once past each item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace linkscope::provider {

class ContainedKeys {
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    // Appends an item with `key`. Items of one `identity` count as one when
    // handed out: handing out one hands out all of them. Identities are
    // small numbers (they index a table).
    void Append(std::string_view key, std::uint32_t identity);
    std::size_t size() const { return identities_.size(); }
    std::uint32_t IdentityOf(std::size_t item) const { return identities_[item]; }

    // The first item whose key occurs within `text`, or kNone.
    std::size_t FirstWithin(std::string_view text) const;

    // The identities handed out in one pass. Made after the last Append.
    class UsedList {
        friend class ContainedKeys;
        std::vector<bool> used_;             // by identity
        std::vector<std::uint32_t> firstFree_;  // by key: no item before it is free
    };
    UsedList NewUsedList() const;

    // The first item whose key occurs within `text` and whose identity is
    // not in `used`, which it then joins; kNone when there is none.
    std::size_t TakeFirstWithin(std::string_view text, UsedList& used) const;

private:
    static constexpr std::uint32_t kEnd = UINT32_MAX;

    struct Key {
        std::string text;
        std::uint32_t firstItem;
        std::uint32_t lastItem;
        std::uint32_t nextSameHash;  // another key whose hash and length are the same, or kEnd
    };
    struct Length {
        std::size_t length;
        std::uint64_t topPower;  // kBase to the power length - 1: what the leaving byte weighs
    };

    // Calls `found(key)` for every key that occurs within `text`, once per
    // place it occurs.
    template <class Found>
    void ForEachKeyWithin(std::string_view text, Found found) const;
    // The key equal to `text`, whose hash is `hash`, or kEnd.
    std::uint32_t KeyOf(std::string_view text, std::uint64_t hash) const;

    std::vector<Key> keys_;
    std::unordered_map<std::uint64_t, std::uint32_t> byHash_;  // hash and length mixed → first such key
    std::vector<Length> lengths_;                               // distinct key lengths, ascending
    std::vector<std::uint32_t> nextSameKey_;                    // by item, or kEnd
    std::vector<std::uint32_t> identities_;                     // by item
    std::uint32_t identityCount_ = 0;                           // the largest identity + 1
};

}  // namespace linkscope::provider
