#include <cctype>

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

}  // namespace

// The input is an interface name, then the text every parser reads.
void ConfigTextTarget(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string interfaceName = in.Text(16);
    const std::string text = in.Rest();

    const live::ResolverConfig resolver = live::ParseResolvConf(text);
    for (const std::string& server : resolver.nameservers) FUZZ_CHECK(IsWord(server));
    FUZZ_CHECK(resolver.domain.empty() || IsWord(resolver.domain));

    for (const std::string& server : live::ParseLinkStateServers(text)) {
        FUZZ_CHECK(IsWord(server) && server.find_first_of("#%") == std::string::npos);
    }

    const std::string leaseServer = live::ParseKeyValueLeaseServer(text);
    FUZZ_CHECK(leaseServer.find('\n') == std::string::npos);

    const std::string dhclientServer = live::ParseDhclientLeaseServer(text, interfaceName);
    FUZZ_CHECK(dhclientServer.empty() || dhclientServer.find_first_of(" \t\n") == std::string::npos);
}

}  // namespace linkscope::fuzz
