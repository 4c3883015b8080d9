// The resolver's and the DHCP clients' files, and the host parameters.
#include <gtest/gtest.h>

#include "platform/linux/config_text.h"
#include "platform/linux/host_parameters.h"

namespace linkscope::live {
namespace {

TEST(ConfigText, ResolvConfServersAndTheLastDomainOrSearchLine) {
    const ResolverConfig config = ParseResolvConf(
        "# written by hand\n"
        "nameserver 10.0.0.53\n"
        "domain first.example\n"
        "; old style comment\n"
        "  nameserver\tfd00::53  \n"
        "search lab.example corp.example\n"
        "options ndots:2\n"
        "nameserver\n");
    EXPECT_EQ(config.nameservers, (std::vector<std::string>{"10.0.0.53", "fd00::53"}));
    EXPECT_EQ(config.domain, "lab.example");
    EXPECT_EQ(ParseResolvConf("search a.example\ndomain b.example\n").domain, "b.example");
    EXPECT_EQ(ParseResolvConf("").domain, "");
}

TEST(ConfigText, LinkStateServersLoseScopePortAndName) {
    EXPECT_EQ(ParseLinkStateServers("# comment\nLLMNR=yes\nSERVERS=10.0.0.1 10.0.0.2:5353 fe80::1%3 "
                                    "1.1.1.1#one.example [fd00::9]:53#nine.example\nDOMAINS=lab\n"),
              (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "fe80::1", "1.1.1.1", "fd00::9"}));
    EXPECT_TRUE(ParseLinkStateServers("DOMAINS=lab\n").empty());
}

TEST(ConfigText, KeyValueLeaseNamesItsServer) {
    EXPECT_EQ(ParseKeyValueLeaseServer("# lease\nADDRESS=10.0.0.7\nSERVER_ADDRESS=10.0.0.1\nROUTER=10.0.0.254\n"),
              "10.0.0.1");
    EXPECT_EQ(ParseKeyValueLeaseServer("ADDRESS=10.0.0.7\nSERVER_ADDRESS_X=1\n"), "");
}

TEST(ConfigText, DhclientTakesTheLastLeaseOfTheInterface) {
    const std::string leases =
        "default-duid \"\\000\\001\";\n"
        "lease {\n  interface \"eth0\";\n  fixed-address 10.0.0.7;\n  option dhcp-server-identifier 10.0.0.1;\n"
        "  renew 2 2024/01/02 03:04:05;\n}\n"
        "lease6 {\n  interface \"eth0\";\n  ia-na 1a:2b:3c:4d {\n    option dhcp-server-identifier 10.9.9.9;\n  }\n}\n"
        "lease {\n  interface \"eth1\";\n  option dhcp-server-identifier 10.1.0.1;\n}\n"
        "lease {\n  interface \"eth0\";\n  option dhcp-server-identifier 10.0.0.2;\n}\n";
    EXPECT_EQ(ParseDhclientLeaseServer(leases, "eth0"), "10.0.0.2");
    EXPECT_EQ(ParseDhclientLeaseServer(leases, "eth1"), "10.1.0.1");
    EXPECT_EQ(ParseDhclientLeaseServer(leases, "eth2"), "");
    EXPECT_EQ(ParseDhclientLeaseServer("lease {\n option dhcp-server-identifier 10.5.0.1;\n}\n", "any"), "10.5.0.1")
        << "a lease naming no interface is the file's own interface's";
}

TEST(HostParameters, NameDomainAndRouting) {
    struct Case {
        const char* node;
        const char* resolverDomain;
        std::optional<bool> forwarding;
        const char* host;
        const char* domain;
        std::uint32_t routing;
    };
    const Case cases[] = {
        {"db1.corp.example", "other.example", false, "db1", "corp.example", 0},
        {"db1", "lab.example", true, "db1", "lab.example", 1},
        {"db1", "", std::nullopt, "db1", "", 0},
        {"", "", true, "", "", 1},
    };
    for (const Case& c : cases) {
        const platform::FixedInfo info = FixedInfoOf(HostFacts{c.node, c.resolverDomain, c.forwarding});
        EXPECT_EQ(info.hostName, c.host) << c.node;
        EXPECT_EQ(info.domainName, c.domain) << c.node;
        EXPECT_EQ(info.enableRouting, c.routing) << c.node;
        EXPECT_EQ(info.enableProxy, 0u);
    }
}

}  // namespace
}  // namespace linkscope::live
