#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/linux/config_text.h"
#include "support/platform_text.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using linkscope::testing::List;

// One word of the text: not empty, no blank or line break inside.
bool IsWord(const std::string& text) { return !text.empty() && text.find_first_of(" \t\n\v\f\r") == std::string::npos; }

}  // namespace

// The input is an interface name, then the text every parser reads; what
// they read is checked on the way.
std::string DescribeConfigText(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string interfaceName = in.Text(16);
    const std::string text = in.Rest();

    const live::ResolverConfig resolver = live::ParseResolvConf(text);
    for (const std::string& server : resolver.nameservers) FUZZ_CHECK(IsWord(server));
    FUZZ_CHECK(resolver.domain.empty() || IsWord(resolver.domain));

    const std::vector<std::string> linkStateServers = live::ParseLinkStateServers(text);
    for (const std::string& server : linkStateServers) {
        FUZZ_CHECK(IsWord(server) && server.find_first_of("#%") == std::string::npos);
    }

    const std::string leaseServer = live::ParseKeyValueLeaseServer(text);
    FUZZ_CHECK(leaseServer.find('\n') == std::string::npos);

    const std::string dhclientServer = live::ParseDhclientLeaseServer(text, interfaceName);
    FUZZ_CHECK(dhclientServer.empty() || dhclientServer.find_first_of(" \t\n") == std::string::npos);

    return "resolver " + List(resolver.nameservers) + " domain " + resolver.domain + "\n" + "link state " +
           List(linkStateServers) + "\n" + "lease " + leaseServer + "\n" + "dhclient " + interfaceName + " " +
           dhclientServer + "\n";
}

void ConfigTextTarget(const std::uint8_t* data, std::size_t size) { DescribeConfigText(data, size); }

}  // namespace linkscope::fuzz
