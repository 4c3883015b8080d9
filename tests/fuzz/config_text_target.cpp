#include <cctype>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/linux/config_text.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

// One word of the text: not empty, no blank or line break inside.
bool IsWord(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : ",") + text;
    return joined;
}

// What every parser makes of an input: an interface name, then the text
// every parser reads.
struct Parsed {
    std::string interfaceName;
    live::ResolverConfig resolver;
    std::vector<std::string> linkStateServers;
    std::string leaseServer, dhclientServer;
};

Parsed Parse(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Parsed parsed;
    parsed.interfaceName = in.Text(16);
    const std::string text = in.Rest();
    parsed.resolver = live::ParseResolvConf(text);
    parsed.linkStateServers = live::ParseLinkStateServers(text);
    parsed.leaseServer = live::ParseKeyValueLeaseServer(text);
    parsed.dhclientServer = live::ParseDhclientLeaseServer(text, parsed.interfaceName);
    return parsed;
}

}  // namespace

void ConfigTextTarget(const std::uint8_t* data, std::size_t size) {
    const Parsed parsed = Parse(data, size);
    for (const std::string& server : parsed.resolver.nameservers) FUZZ_CHECK(IsWord(server));
    FUZZ_CHECK(parsed.resolver.domain.empty() || IsWord(parsed.resolver.domain));
    for (const std::string& server : parsed.linkStateServers) {
        FUZZ_CHECK(IsWord(server) && server.find_first_of("#%") == std::string::npos);
    }
    FUZZ_CHECK(parsed.leaseServer.find('\n') == std::string::npos);
    FUZZ_CHECK(parsed.dhclientServer.empty() || parsed.dhclientServer.find_first_of(" \t\n") == std::string::npos);
}

std::string DescribeConfigText(const std::uint8_t* data, std::size_t size) {
    const Parsed parsed = Parse(data, size);
    return "resolver " + Joined(parsed.resolver.nameservers) + " domain " + parsed.resolver.domain + "\n" +
           "link state " + Joined(parsed.linkStateServers) + "\n" + "lease " + parsed.leaseServer + "\n" +
           "dhclient " + parsed.interfaceName + " " + parsed.dhclientServer + "\n";
}

}  // namespace linkscope::fuzz
