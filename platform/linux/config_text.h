// The system files the live backend reads besides the kernel's answers,
// as pure parsers of their text: the resolver configuration, the resolver
// service's per-link state and the DHCP clients' lease files. A line or
// entry that does not parse is passed over.
#pragma once

#include <string>
#include <vector>

namespace linkscope::live {

struct ResolverConfig {
    std::vector<std::string> nameservers;  // in file order
    // The "domain" line, else the first entry of the "search" line; where
    // several such lines stand, the last one counts.
    std::string domain;
};

ResolverConfig ParseResolvConf(const std::string& text);

// The DNS servers of one link from the resolver service's link state
// ("SERVERS=a b c"), as bare addresses: a port, an interface scope
// ("%2") and a server name ("#dns.example") are cut off.
std::vector<std::string> ParseLinkStateServers(const std::string& text);

// The server address of a lease kept as KEY=VALUE lines (the network
// daemon's and the network manager's own DHCP client): SERVER_ADDRESS.
// Empty when it names none.
std::string ParseKeyValueLeaseServer(const std::string& text);

// The server identifier of the last lease in a dhclient lease file that
// belongs to `interfaceName` (a lease naming no interface belongs to any).
// Empty when there is none.
std::string ParseDhclientLeaseServer(const std::string& text, const std::string& interfaceName);

}  // namespace linkscope::live
