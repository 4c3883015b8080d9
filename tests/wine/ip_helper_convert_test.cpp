// Conversions of IP Helper buffers built by hand, the way the system lays
// them out: structures and their chains inside one caller buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/ip_helper_convert.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"
#include "support/platform_text.h"

namespace linkscope::win32 {
namespace {

using testing::Lines;
using testing::Text;
using testing::Texts;

// A zeroed, suitably aligned caller buffer to lay structures out in.
class Arena {
public:
    explicit Arena(std::size_t size) : storage_((size + sizeof(Unit) - 1) / sizeof(Unit)), size_(size) {}
    template <class T>
    T* Put(std::size_t offset) {
        return new (Base() + offset) T{};
    }
    char* Text(std::size_t offset, const char* text) { return std::strcpy(Base() + offset, text); }
    OsBytes Bytes() { return OsBytes(Base(), size_); }

private:
    using Unit = std::max_align_t;
    char* Base() { return reinterpret_cast<char*>(storage_.data()); }
    std::vector<Unit> storage_;
    std::size_t size_;
};

void SetAddress(IP_ADDR_STRING& entry, const char* address, const char* mask) {
    std::strcpy(entry.IpAddress.String, address);
    std::strcpy(entry.IpMask.String, mask);
}

constexpr std::size_t kAdapter = sizeof(IP_ADAPTER_INFO);

TEST(ConvertAdaptersInfo, FollowsTheAdapterAndAddressChainsInsideTheBuffer) {
    Arena arena(2 * kAdapter + sizeof(IP_ADDR_STRING));
    auto* first = arena.Put<IP_ADAPTER_INFO>(0);
    auto* second = arena.Put<IP_ADAPTER_INFO>(kAdapter);
    auto* extra = arena.Put<IP_ADDR_STRING>(2 * kAdapter);
    first->Next = second;
    std::strcpy(first->AdapterName, "{A}");
    std::strcpy(first->Description, "First");
    first->AddressLength = 6;
    std::memcpy(first->Address, "\x02\xfc\x00\x00\x00\x01", 6);
    first->Index = 4;
    first->Type = 6;
    first->DhcpEnabled = 1;
    SetAddress(first->DhcpServer, "192.0.2.1", "");
    first->HaveWins = TRUE;
    SetAddress(first->PrimaryWinsServer, "192.0.2.7", "");
    SetAddress(first->SecondaryWinsServer, "192.0.2.8", "");
    SetAddress(first->IpAddressList, "192.0.2.2", "255.255.255.0");
    first->IpAddressList.Next = extra;
    SetAddress(*extra, "198.51.100.2", "255.255.0.0");
    SetAddress(first->GatewayList, "192.0.2.254", "255.255.255.255");
    std::strcpy(second->AdapterName, "{B}");

    // The second adapter has nothing but its embedded, empty entries.
    EXPECT_EQ(Lines(ConvertAdaptersInfo(arena.Bytes())),
              (Texts{"{A} 'First' 02:FC:00:00:00:01 #4 type 6 dhcp 1 192.0.2.1 wins 1 192.0.2.7,192.0.2.8 "
                     "ip 192.0.2.2/255.255.255.0,198.51.100.2/255.255.0.0 gw 192.0.2.254/255.255.255.255",
                     "{B} '' - #0 type 0 dhcp 0  wins 0 , ip (empty) gw (empty)"}));
}

TEST(ConvertAdaptersInfo, UnterminatedFieldsAndOverlongAddressesStopAtTheirFieldsEnd) {
    Arena arena(kAdapter);
    auto* adapter = arena.Put<IP_ADAPTER_INFO>(0);
    std::memset(adapter->Description, 'd', sizeof adapter->Description);
    std::memset(adapter->IpAddressList.IpAddress.String, '9', sizeof adapter->IpAddressList.IpAddress.String);
    adapter->AddressLength = 200;
    std::memset(adapter->Address, 0xAB, sizeof adapter->Address);

    const auto adapters = ConvertAdaptersInfo(arena.Bytes());
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].description, std::string(sizeof adapter->Description, 'd'));
    EXPECT_EQ(adapters[0].ipAddresses[0].address, std::string(16, '9'));
    EXPECT_EQ(adapters[0].hardwareAddress.size(), 8u);
}

TEST(ConvertAdaptersInfo, LinksLeadingOutsideTheBufferOrInACircleEndTheChain) {
    IP_ADAPTER_INFO outside{};
    IP_ADDR_STRING outsideAddress{};
    Arena arena(kAdapter);
    auto* adapter = arena.Put<IP_ADAPTER_INFO>(0);
    adapter->Next = &outside;
    adapter->IpAddressList.Next = &outsideAddress;
    adapter->GatewayList.Next = &adapter->GatewayList;  // a link to itself

    const auto adapters = ConvertAdaptersInfo(arena.Bytes());
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0].ipAddresses.size(), 1u);
    EXPECT_LE(adapters[0].gateways.size(), kAdapter / sizeof(IP_ADDR_STRING) + 1);

    adapter->Next = adapter;
    EXPECT_EQ(ConvertAdaptersInfo(arena.Bytes()).size(), 1u);
    EXPECT_TRUE(ConvertAdaptersInfo(OsBytes(adapter, kAdapter - 1)).empty());
}

TEST(ConvertInterfaceInfo, ReadsOnlyThePairsThatLieInsideTheBuffer) {
    const std::size_t size = offsetof(IP_INTERFACE_INFO, Adapter) + 2 * sizeof(IP_ADAPTER_INDEX_MAP);
    Arena arena(size);
    auto* info = arena.Put<IP_INTERFACE_INFO>(0);
    info->NumAdapters = 5;  // more than the buffer holds
    IP_ADAPTER_INDEX_MAP* maps = info->Adapter;
    maps[0].Index = 2;
    std::wcscpy(maps[0].Name, L"\\DEVICE\\TCPIP_{A}");
    maps[1].Index = 7;
    std::wcscpy(maps[1].Name, L"caf\u00e9\u263Arest");

    EXPECT_EQ(Lines(ConvertInterfaceInfo(arena.Bytes())), (Texts{"2 \\DEVICE\\TCPIP_{A}", "7 caf\xe9"}));

    info->NumAdapters = -1;
    EXPECT_TRUE(ConvertInterfaceInfo(arena.Bytes()).empty());
}

TEST(NarrowAsPercentS, EndsAtTheNulTheFieldsEndOrTheFirstUnitBeyondTheCLocale) {
    EXPECT_EQ(NarrowAsPercentS(L"eth0", 128), "eth0");
    EXPECT_EQ(NarrowAsPercentS(L"abcdef", 3), "abc");
    EXPECT_EQ(NarrowAsPercentS(L"\u00ff\u0100x", 8), "\xff");
    EXPECT_EQ(NarrowAsPercentS(nullptr, 8), "");
}

TEST(ConvertIfTable, ReadsIndexMtuAndStatusOfTheRowsInsideTheBuffer) {
    const std::size_t size = offsetof(MIB_IFTABLE, table) + 2 * sizeof(MIB_IFROW);
    Arena arena(size);
    auto* table = arena.Put<MIB_IFTABLE>(0);
    table->dwNumEntries = 3;
    MIB_IFROW* rows = table->table;
    std::tie(rows[0].dwIndex, rows[0].dwMtu, rows[0].dwOperStatus) = std::tuple(2, 1500, IF_OPER_STATUS_OPERATIONAL);
    std::tie(rows[1].dwIndex, rows[1].dwMtu, rows[1].dwOperStatus) = std::tuple(9, 9000, IF_OPER_STATUS_DISCONNECTED);

    EXPECT_EQ(Lines(ConvertIfTable(arena.Bytes())), (Texts{"2 mtu 1500 status 5", "9 mtu 9000 status 2"}));
}

TEST(ConvertPerAdapterInfo, ReadsTheFlagsAndTheWholeDnsChain) {
    Arena arena(sizeof(IP_PER_ADAPTER_INFO) + sizeof(IP_ADDR_STRING));
    auto* info = arena.Put<IP_PER_ADAPTER_INFO>(0);
    auto* second = arena.Put<IP_ADDR_STRING>(sizeof(IP_PER_ADAPTER_INFO));
    info->AutoconfigEnabled = 1;
    info->AutoconfigActive = 0;
    SetAddress(info->DnsServerList, "192.0.2.53", "");
    info->DnsServerList.Next = second;
    SetAddress(*second, "198.51.100.53", "");

    EXPECT_EQ(Text(ConvertPerAdapterInfo(arena.Bytes())), "result 0 auto 1/0 dns 192.0.2.53,198.51.100.53");
}

TEST(ConvertFixedInfo, ReadsNamesAndFlagsOrNothingFromATooShortBuffer) {
    Arena arena(sizeof(FIXED_INFO));
    auto* info = arena.Put<FIXED_INFO>(0);
    std::strcpy(info->HostName, "lab-01");
    std::memset(info->DomainName, 'x', sizeof info->DomainName);
    info->EnableRouting = 1;
    info->EnableProxy = 2;

    const platform::FixedInfo fixed = ConvertFixedInfo(arena.Bytes());
    EXPECT_EQ(fixed.hostName, "lab-01");
    EXPECT_EQ(fixed.domainName, std::string(sizeof info->DomainName, 'x'));
    EXPECT_EQ(fixed.enableRouting, 1u);
    EXPECT_EQ(fixed.enableProxy, 2u);
    EXPECT_EQ(ConvertFixedInfo(OsBytes(info, sizeof(FIXED_INFO) - 1)).hostName, "");
}

TEST(ConvertAdapterAddresses, TakesEachEntrysNameAndFirstUnicastIPv6Address) {
    const std::size_t entry = sizeof(IP_ADAPTER_ADDRESSES);
    const std::size_t unicast = sizeof(IP_ADAPTER_UNICAST_ADDRESS);
    const std::size_t tail = 3 * entry + 2 * unicast;
    Arena arena(tail + sizeof(sockaddr_in6) + sizeof(sockaddr_in) + 32);
    auto* withIPv6 = arena.Put<IP_ADAPTER_ADDRESSES>(0);
    auto* withIPv4 = arena.Put<IP_ADAPTER_ADDRESSES>(entry);
    auto* nameOutside = arena.Put<IP_ADAPTER_ADDRESSES>(2 * entry);
    auto* firstUnicast = arena.Put<IP_ADAPTER_UNICAST_ADDRESS>(3 * entry);
    auto* v4Unicast = arena.Put<IP_ADAPTER_UNICAST_ADDRESS>(3 * entry + unicast);
    auto* v6 = arena.Put<sockaddr_in6>(tail);
    auto* v4 = arena.Put<sockaddr_in>(tail + sizeof(sockaddr_in6));
    char* name = arena.Text(tail + sizeof(sockaddr_in6) + sizeof(sockaddr_in), "{A}");

    // Each entry names "{A}" and points at its one unicast address.
    auto link = [name](IP_ADAPTER_ADDRESSES* adapter, IP_ADAPTER_ADDRESSES* next, IP_ADAPTER_UNICAST_ADDRESS* first,
                       auto* address) {
        adapter->Next = next;
        adapter->AdapterName = name;
        adapter->FirstUnicastAddress = first;
        first->Address.lpSockaddr = reinterpret_cast<sockaddr*>(address);
        first->Address.iSockaddrLength = sizeof *address;
    };
    link(withIPv6, withIPv4, firstUnicast, v6);
    link(withIPv4, nameOutside, v4Unicast, v4);
    v6->sin6_family = AF_INET6;
    const std::uint8_t bytes[16] = {0xfd, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    std::memcpy(&v6->sin6_addr, bytes, sizeof bytes);
    v4->sin_family = AF_INET;

    char elsewhere[] = "{B}";
    nameOutside->AdapterName = elsewhere;

    EXPECT_EQ(Lines(ConvertAdapterAddresses(arena.Bytes())),
              (Texts{"{A} FD000000000000000000000000000002", "{A} -", " -"}))
        << "a name outside the buffer is not read";
}

}  // namespace
}  // namespace linkscope::win32
