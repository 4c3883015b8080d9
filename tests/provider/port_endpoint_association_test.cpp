// Port-to-endpoint associations, joined on the ports and endpoints that the
// host enumerates.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

namespace linkscope::testing {
namespace {

const char kLink[] = "QRXSG_PortImplementsEndpoint";

class PortEndpointAssociation : public HubFixture {
protected:
    // The object path of the first instance of `className` whose
    // `property` reads `value`, from a fresh query of that class.
    std::string PathOf(const std::string& className, const std::string& property, const std::string& value) {
        for (const auto& instance : Query({className})) {
            auto found = instance->GetProperty(property, {});
            if (found && found->GetValue({}).ToString() == value) return instance->Path();
        }
        ADD_FAILURE() << "no " << className << " with " << property << " " << value;
        return std::string();
    }
    std::string PortPath(const std::string& className, const std::string& deviceId) {
        return PathOf(className, "DeviceID", deviceId);
    }
    std::string EndpointPath(const std::string& name) { return PathOf("QRXSG_IPProtocolEndpoint", "Name", name); }
};

TEST_F(PortEndpointAssociation, EveryAddressOfAPhysicalPortInListOrder) {
    AddPhysical("eth0", 11, {"192.168.0.5/24", "10.0.0.5/8"}, {"FE80:00:00:00:00:00:00:05"});

    const Instances links = Query({kLink});
    ASSERT_EQ(links.size(), 3u);
    const std::string port = PortPath("QRXSG_PhysicalNetworkPort", "eth0");
    EXPECT_EQ(Column(links, "Antecedent"), std::vector<std::string>(3, port));
    EXPECT_EQ(Column(links, "Dependent"),
              (std::vector<std::string>{EndpointPath("11_IPv4_192.168.0.5/24"), EndpointPath("11_IPv4_10.0.0.5/8"),
                                        EndpointPath("11_IPv6_FE80:00:00:00:00:00:00:05")}));
    for (const auto& [name, value] : links[0]->Properties()) {
        EXPECT_EQ(value.GetType(), NQRXKVL20::kCIMTypeReference) << name;
    }
    EXPECT_EQ(links[0]->Properties().front().first, "Dependent");
}

TEST_F(PortEndpointAssociation, VirtualPortsLinkTheirIPv4AddressesOnly) {
    AddVirtual("team0", 30, {"10.5.0.1/24"}, {"2001:DB8:00:00:00:00:00:01"});
    AddPhysical("team0", 31, {"10.6.0.1/24"});  // same device name, other list

    const Instances links = Query({kLink});
    EXPECT_EQ(Column(links, "Antecedent"),
              (std::vector<std::string>{PortPath("QRXSG_PhysicalNetworkPort", "team0"),
                                        PortPath("QRXSG_VirtualNetworkPort", "team0")}));
    EXPECT_EQ(Column(links, "Dependent"),
              (std::vector<std::string>{EndpointPath("31_IPv4_10.6.0.1/24"), EndpointPath("30_IPv4_10.5.0.1/24")}));
}

TEST_F(PortEndpointAssociation, AnAdapterWithoutAPortIsLeftOut) {
    AddPhysical("sit0", 2, {"192.0.2.1/32"});
    AddPhysical("eth0", 3, {"192.0.2.9/24"});
    ASSERT_EQ(Query({"QRXSG_IPProtocolEndpoint"}).size(), 2u) << "the skipped device still has its endpoint";

    EXPECT_EQ(Column(Query({kLink}), "Dependent"), std::vector<std::string>{EndpointPath("3_IPv4_192.0.2.9/24")});
}

TEST_F(PortEndpointAssociation, AdaptersSharingAnEndpointNameBothLinkIt) {
    AddPhysical("eth0", 7, {"10.0.0.1/24"});
    AddPhysical("eth1", 7, {"10.0.0.1/24"});

    const Instances links = Query({kLink});
    ASSERT_EQ(links.size(), 2u);
    const std::string firstEndpoint = Query({"QRXSG_IPProtocolEndpoint"})[0]->Path();
    EXPECT_EQ(Column(links, "Dependent"), std::vector<std::string>(2, firstEndpoint));
    EXPECT_EQ(Column(links, "Antecedent"), (std::vector<std::string>{PortPath("QRXSG_PhysicalNetworkPort", "eth0"),
                                                                      PortPath("QRXSG_PhysicalNetworkPort", "eth1")}));
}

TEST_F(PortEndpointAssociation, TheAnswerDoesNotDependOnWhatWasQueriedBefore) {
    AddPhysical("eth0", 11, {"192.168.0.5/24"}, {"FE80:00:00:00:00:00:00:05"});
    AddVirtual("team0", 30, {"10.5.0.1/24"});

    const std::vector<std::string> alone = Paths(Query({kLink}));
    const Instances everything = Query({"QRXSG_VirtualNetworkPort", "QRXSG_PhysicalNetworkPort",
                                        "QRXSG_IPProtocolEndpoint", kLink, kLink});
    ASSERT_EQ(everything.size(), 2u + 3u + 3u + 3u);
    const std::vector<std::string> afterEnds = Paths(Instances(everything.begin() + 5, everything.begin() + 8));
    const std::vector<std::string> again = Paths(Instances(everything.begin() + 8, everything.end()));
    EXPECT_EQ(alone.size(), 3u);
    EXPECT_EQ(afterEnds, alone);
    EXPECT_EQ(again, alone);
}

}  // namespace
}  // namespace linkscope::testing
