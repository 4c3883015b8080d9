#include "collect/link_codes.h"

#include <cstddef>

namespace linkscope {
namespace {

struct CodePair {
    std::uint32_t from;
    std::int32_t to;
};

constexpr CodePair kLinkTechnology[] = {
    {1, 1},   // other
    {6, 2},   // Ethernet
    {9, 7},   // token ring
    {15, 5},  // FDDI
    {23, 1},  // PPP
    {24, 1},  // software loopback
    {28, 1},  // SLIP
};

constexpr CodePair kEnabledState[] = {
    {0, 32768},  // non-operational
    {1, 32768},  // unreachable
    {2, 32768},  // disconnected
    {3, 10},     // connecting
    {4, 2},      // connected
    {5, 2},      // operational
};

template <std::size_t N>
std::int32_t Lookup(const CodePair (&table)[N], std::uint32_t code) {
    for (const CodePair& pair : table) {
        if (pair.from == code) return pair.to;
    }
    return 0;
}

}  // namespace

std::int32_t LinkTechnologyOfInterfaceType(std::uint32_t type) { return Lookup(kLinkTechnology, type); }

std::int32_t EnabledStateOfOperStatus(std::uint32_t status) { return Lookup(kEnabledState, status); }

}  // namespace linkscope
