// Test support: the platform's IP configuration answers as one line of text
// per entry, so that a test states whole entries at once and a failure
// shows every field.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/ip_helper.h"

namespace linkscope::testing {

using Texts = std::vector<std::string>;

// Bytes as upper-case hex pairs joined by `separator`; "-" for none.
template <class Bytes>
std::string HexText(const Bytes& bytes, const char* separator = ":") {
    std::string text;
    for (unsigned byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte & 0xFFu);
        text += (text.empty() ? "" : separator) + std::string(pair);
    }
    return text.empty() ? "-" : text;
}

// An address and its mask; an entry with neither shows as "(empty)".
inline std::string Text(const platform::IpAddressString& e) {
    if (e.address.empty() && e.mask.empty()) return "(empty)";
    return e.mask.empty() ? e.address : e.address + "/" + e.mask;
}
inline std::string Text(const std::string& text) { return text; }
inline std::string Text(const platform::InterfacePair& p) { return std::to_string(p.index) + " " + p.name; }
inline std::string Text(const platform::InterfaceRow& r) {
    return std::to_string(r.index) + " mtu " + std::to_string(r.mtu) + " status " + std::to_string(r.operStatus);
}
inline std::string Text(const platform::Ipv6Entry& e) {
    return e.adapterName + " " + (e.hasUnicast ? HexText(e.firstUnicast, "") : "-");
}

template <class T>
std::string List(const std::vector<T>& items) {
    std::string text;
    for (const T& item : items) text += (text.empty() ? "" : ",") + Text(item);
    return text;
}

inline std::string Text(const platform::AdapterEntry& a) {
    return a.adapterName + " '" + a.description + "' " + HexText(a.hardwareAddress) + " #" + std::to_string(a.index) +
           " type " + std::to_string(a.type) + " dhcp " + std::to_string(a.dhcpEnabled) + " " + a.dhcpServer +
           " wins " + std::to_string(a.haveWins) + " " + a.primaryWinsServer + "," + a.secondaryWinsServer + " ip " +
           List(a.ipAddresses) + " gw " + List(a.gateways);
}
inline std::string Text(const platform::PerAdapterAnswer& a) {
    return "result " + std::to_string(a.result) + " auto " + std::to_string(a.autoconfigEnabled) + "/" +
           std::to_string(a.autoconfigActive) + " dns " + List(a.dnsServers);
}

// Every entry of a list, one text each.
template <class T>
Texts Lines(const std::vector<T>& items) {
    Texts lines;
    for (const T& item : items) lines.push_back(Text(item));
    return lines;
}

}  // namespace linkscope::testing
