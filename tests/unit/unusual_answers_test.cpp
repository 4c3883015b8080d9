// Answers a real system gives rarely, read from a machine file and collected
// end to end: a mask that is not contiguous and empty masks (the prefix
// length counts the last non-zero octet, three octets for an empty mask),
// empty address texts, and a DHCP server reported while DHCP is off (the
// record keeps no server then).
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "support/record_text.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

TEST(UnusualAnswers, AreCollectedAsTheirFieldsSay) {
    testing::ScopedMachine installed(*sim::ParseMachine(R"({"adapters": [
        {"guid": "{A}", "index": 2, "dhcp": false, "dhcpServer": "10.0.0.1",
         "ipv4": ["10.0.0.6/255.0.255.0", "/", "10.0.0.5/0.0.0.1"], "wins": ["", "10.0.0.2"], "gateways": [""],
         "dns": [""]}]})", "unusual.json"));
    AdaptersInfo adapters;
    adapters.Collect();
    EXPECT_EQ(testing::RecordTexts(adapters),
              std::vector<std::string>{"{A} \\DEVICE\\TCPIP_{A} '' mac 00 00 #2 state 2 link 2 mtu 1500 '' driver 1 | "
                                       "dhcp 0  wins 1 ,10.0.0.2 auto 1/0 | ipv4 10.0.0.6/24,/24,10.0.0.5/25 ipv6  gw  "
                                       "dns  hw 00"});
}

}  // namespace
}  // namespace linkscope
