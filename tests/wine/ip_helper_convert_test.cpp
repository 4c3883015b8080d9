// Conversions of IP Helper buffers built by hand, the way the system lays
// them out: structures and their chains inside one caller buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "platform/win32/ip_helper_convert.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"
#include "support/platform_text.h"

namespace linkscope::win32 {
namespace {

using testing::Lines;
using testing::Text;
using testing::Texts;

// The bytes of a caller buffer laid out as `layout`.
template <class T>
OsBytes BytesOf(const T& layout) {
    return OsBytes(&layout, sizeof layout);
}

void SetAddress(IP_ADDR_STRING& entry, const char* address, const char* mask) {
    std::strcpy(entry.IpAddress.String, address);
    std::strcpy(entry.IpMask.String, mask);
}

TEST(ConvertAdaptersInfo, FollowsTheAdapterAndAddressChainsInsideTheBuffer) {
    struct {
        IP_ADAPTER_INFO first, second;
        IP_ADDR_STRING extra;
    } buffer{};
    IP_ADAPTER_INFO& first = buffer.first;
    first.Next = &buffer.second;
    std::strcpy(first.AdapterName, "{A}");
    std::strcpy(first.Description, "First");
    first.AddressLength = 6;
    std::memcpy(first.Address, "\x02\xfc\x00\x00\x00\x01", 6);
    first.Index = 4;
    first.Type = 6;
    first.DhcpEnabled = 1;
    SetAddress(first.DhcpServer, "192.0.2.1", "");
    first.HaveWins = TRUE;
    SetAddress(first.PrimaryWinsServer, "192.0.2.7", "");
    SetAddress(first.SecondaryWinsServer, "192.0.2.8", "");
    SetAddress(first.IpAddressList, "192.0.2.2", "255.255.255.0");
    first.IpAddressList.Next = &buffer.extra;
    SetAddress(buffer.extra, "198.51.100.2", "255.255.0.0");
    SetAddress(first.GatewayList, "192.0.2.254", "255.255.255.255");
    std::strcpy(buffer.second.AdapterName, "{B}");

    // The second adapter has nothing but its embedded, empty entries.
    EXPECT_EQ(Lines(ConvertAdaptersInfo(BytesOf(buffer))),
              (Texts{"{A} 'First' 02:FC:00:00:00:01 #4 type 6 dhcp 1 192.0.2.1 wins 1 192.0.2.7,192.0.2.8 "
                     "ip 192.0.2.2/255.255.255.0,198.51.100.2/255.255.0.0 gw 192.0.2.254/255.255.255.255",
                     "{B} '' - #0 type 0 dhcp 0  wins 0 , ip (empty) gw (empty)"}));
}

// Texts run to their fields' ends; links outside the buffer or in a circle
// end their chains.
TEST(ConvertAdaptersInfo, HostileFieldsAndLinksStayInsideTheBuffer) {
    IP_ADAPTER_INFO outside{};
    IP_ADDR_STRING outsideAddress{};
    IP_ADAPTER_INFO adapter{};
    std::memset(adapter.Description, 'd', sizeof adapter.Description);
    std::memset(adapter.IpAddressList.IpAddress.String, '9', sizeof adapter.IpAddressList.IpAddress.String);
    adapter.AddressLength = 200;
    std::memset(adapter.Address, 0xAB, sizeof adapter.Address);
    adapter.Next = &outside;
    adapter.IpAddressList.Next = &outsideAddress;
    adapter.GatewayList.Next = &adapter.GatewayList;  // a link to itself

    const auto adapters = ConvertAdaptersInfo(BytesOf(adapter));
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].description, std::string(sizeof adapter.Description, 'd'));
    EXPECT_EQ(adapters[0].ipAddresses[0].address, std::string(16, '9'));
    EXPECT_EQ(adapters[0].hardwareAddress.size(), 8u);
    EXPECT_EQ(adapters[0].ipAddresses.size(), 1u);
    EXPECT_LE(adapters[0].gateways.size(), sizeof adapter / sizeof(IP_ADDR_STRING) + 1);

    adapter.Next = &adapter;
    EXPECT_EQ(ConvertAdaptersInfo(BytesOf(adapter)).size(), 1u);
    EXPECT_TRUE(ConvertAdaptersInfo(OsBytes(&adapter, sizeof adapter - 1)).empty());
}

TEST(ConvertInterfaceInfo, ReadsOnlyThePairsThatLieInsideTheBuffer) {
    struct {
        IP_INTERFACE_INFO info;  // holds the first pair
        IP_ADAPTER_INDEX_MAP second;
    } buffer{};
    buffer.info.NumAdapters = 5;  // more than the buffer holds
    buffer.info.Adapter[0].Index = 2;
    std::wcscpy(buffer.info.Adapter[0].Name, L"\\DEVICE\\TCPIP_{A}");
    buffer.second.Index = 7;
    std::wcscpy(buffer.second.Name, L"caf\u00e9\u263Arest");

    EXPECT_EQ(Lines(ConvertInterfaceInfo(BytesOf(buffer))), (Texts{"2 \\DEVICE\\TCPIP_{A}", "7 caf\xe9"}));

    buffer.info.NumAdapters = -1;
    EXPECT_TRUE(ConvertInterfaceInfo(BytesOf(buffer)).empty());
}

TEST(NarrowAsPercentS, EndsAtTheNulTheFieldsEndOrTheFirstUnitBeyondTheCLocale) {
    EXPECT_EQ(NarrowAsPercentS(L"eth0", 128), "eth0");
    EXPECT_EQ(NarrowAsPercentS(L"abcdef", 3), "abc");
    EXPECT_EQ(NarrowAsPercentS(L"\u00ff\u0100x", 8), "\xff");
    EXPECT_EQ(NarrowAsPercentS(nullptr, 8), "");
}

TEST(ConvertIfTable, ReadsIndexMtuAndStatusOfTheRowsInsideTheBuffer) {
    struct {
        MIB_IFTABLE table;  // holds the first row
        MIB_IFROW second;
    } buffer{};
    buffer.table.dwNumEntries = 3;
    MIB_IFROW& first = buffer.table.table[0];
    std::tie(first.dwIndex, first.dwMtu, first.dwOperStatus) = std::tuple(2, 1500, IF_OPER_STATUS_OPERATIONAL);
    std::tie(buffer.second.dwIndex, buffer.second.dwMtu, buffer.second.dwOperStatus) =
        std::tuple(9, 9000, IF_OPER_STATUS_DISCONNECTED);

    EXPECT_EQ(Lines(ConvertIfTable(BytesOf(buffer))), (Texts{"2 mtu 1500 status 5", "9 mtu 9000 status 2"}));
}

TEST(ConvertPerAdapterInfo, ReadsTheFlagsAndTheWholeDnsChain) {
    struct {
        IP_PER_ADAPTER_INFO info;
        IP_ADDR_STRING second;
    } buffer{};
    buffer.info.AutoconfigEnabled = 1;
    SetAddress(buffer.info.DnsServerList, "192.0.2.53", "");
    buffer.info.DnsServerList.Next = &buffer.second;
    SetAddress(buffer.second, "198.51.100.53", "");

    EXPECT_EQ(Text(ConvertPerAdapterInfo(BytesOf(buffer))), "result 0 auto 1/0 dns 192.0.2.53,198.51.100.53");
}

TEST(ConvertFixedInfo, ReadsNamesAndFlagsOrNothingFromATooShortBuffer) {
    FIXED_INFO info{};
    std::strcpy(info.HostName, "lab-01");
    std::memset(info.DomainName, 'x', sizeof info.DomainName);
    info.EnableRouting = 1;
    info.EnableProxy = 2;

    const platform::FixedInfo fixed = ConvertFixedInfo(BytesOf(info));
    EXPECT_EQ(fixed.hostName, "lab-01");
    EXPECT_EQ(fixed.domainName, std::string(sizeof info.DomainName, 'x'));
    EXPECT_EQ(fixed.enableRouting, 1u);
    EXPECT_EQ(fixed.enableProxy, 2u);
    EXPECT_EQ(ConvertFixedInfo(OsBytes(&info, sizeof info - 1)).hostName, "");
}

TEST(ConvertAdapterAddresses, TakesEachEntrysNameAndFirstUnicastIPv6Address) {
    struct {
        IP_ADAPTER_ADDRESSES withIPv6, withIPv4, nameOutside;
        IP_ADAPTER_UNICAST_ADDRESS v6Unicast, v4Unicast;
        sockaddr_in6 v6;
        sockaddr_in v4;
        char name[4];
    } buffer{};
    std::strcpy(buffer.name, "{A}");

    // Each entry names "{A}" and points at its one unicast address.
    auto link = [&buffer](IP_ADAPTER_ADDRESSES& adapter, IP_ADAPTER_ADDRESSES* next,
                          IP_ADAPTER_UNICAST_ADDRESS& first, auto& address) {
        adapter.Next = next;
        adapter.AdapterName = buffer.name;
        adapter.FirstUnicastAddress = &first;
        first.Address.lpSockaddr = reinterpret_cast<sockaddr*>(&address);
        first.Address.iSockaddrLength = sizeof address;
    };
    link(buffer.withIPv6, &buffer.withIPv4, buffer.v6Unicast, buffer.v6);
    link(buffer.withIPv4, &buffer.nameOutside, buffer.v4Unicast, buffer.v4);
    buffer.v6.sin6_family = AF_INET6;
    const std::uint8_t bytes[16] = {0xfd, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    std::memcpy(&buffer.v6.sin6_addr, bytes, sizeof bytes);
    buffer.v4.sin_family = AF_INET;

    char elsewhere[] = "{B}";
    buffer.nameOutside.AdapterName = elsewhere;

    EXPECT_EQ(Lines(ConvertAdapterAddresses(BytesOf(buffer))),
              (Texts{"{A} FD000000000000000000000000000002", "{A} -", " -"}))
        << "a name outside the buffer is not read";
}

}  // namespace
}  // namespace linkscope::win32
