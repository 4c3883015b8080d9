// The adapter dump and the host parameters.
#include <gtest/gtest.h>

#include "collect/network_adapter.h"
#include "collect/network_params.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using testing::LoggedAt;
using testing::ScopedMachine;

// Fifteen lines, and three more when DHCP and WINS are on.
TEST(AdapterDump, GivesOneLinePerFieldAndTheServersOfEnabledDhcpAndWins) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    adapter.SetDeviceID("\\DEVICE\\TCPIP_{A}");
    adapter.SetPortNumber(11);
    adapter.SetIPv4AddressList({"10.0.0.5/24", "10.0.1.5/16"});
    adapter.SetSpeed(10000000000ULL);
    const std::string head =
        "Called from: teams.cpp:42\n"
        "DeviceID      : \\DEVICE\\TCPIP_{A}\n"
        "Name          : \n"
        "Permanent Addr: \n"
        "Description   : \n"
        "Nic Type      : 0\n"
        "Speed         : 10000000000\n"
        "MTU           : 0\n"
        "Port Number   : 11\n"
        "ip Address List Size   : 2\n"
        "FW Version    : \n"
        "PCI DeviceID   : \n";
    adapter.Dump("teams.cpp", 42);
    adapter.SetDhcpEnabled(true);
    adapter.SetDhcpServer("10.0.0.1");
    adapter.SetHaveWins(true);
    adapter.SetPrimaryWinsServer("10.0.0.5");
    adapter.SetSecondaryWinsServer("10.0.0.6");
    adapter.Dump("teams.cpp", 42);
    EXPECT_EQ(LoggedAt(3), (std::vector<std::string>{
                               head + "DHCP Enabled   : false\nHave Wins      : false\nEnabled State  : 0\n",
                               head + "DHCP Enabled   : true\nDHCP Server    : 10.0.0.1\nHave Wins      : true\n"
                                      "Pri Wins Server:10.0.0.5\nSec Wins Server:10.0.0.6\nEnabled State  : 0\n"}));
}

TEST(NetworkParams, TakesTheHostsParametersWithOnlyOneMeaningEnabled) {
    sim::Machine machine;
    machine.host = {"lab-01", "", 1, 2};
    ScopedMachine installed(machine);
    NetworkParams params;
    params.Collect();
    EXPECT_EQ(params.GetHostName(), "lab-01");
    EXPECT_EQ(params.GetDomainName(), "");
    EXPECT_TRUE(params.IsRoutingEnabled());
    EXPECT_FALSE(params.IsProxyEnabled()) << "2 is not 1";
    EXPECT_TRUE(LoggedAt(1).empty());
}

TEST(NetworkParams, FailureIsLoggedWithTheCodeInHexAndLeavesEverythingEmpty) {
    sim::Machine machine;
    machine.host = {"lab-01", "corp.example", 1, 1};
    machine.results.networkParams = 111;
    ScopedMachine installed(machine);
    NetworkParams params;
    params.Collect();
    EXPECT_EQ(LoggedAt(1), std::vector<std::string>{"Call to GetNetworkParams failed. Return Value: 0000006f\n"});
    EXPECT_EQ(params.GetHostName(), "");
    EXPECT_FALSE(params.IsRoutingEnabled());
}

}  // namespace
}  // namespace linkscope
