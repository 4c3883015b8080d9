// The runner's JSON and MOF output of hand-built instances.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>

#include "format.h"
#include "kvl/hub.h"

namespace {

using namespace NQRXKVL20;
using kvlhost::InstanceList;

class FormatTest : public ::testing::Test {
protected:
    boost::shared_ptr<THubInstance> Create(const std::string& className) {
        return boost::dynamic_pointer_cast<THubInstance>(
            ns->GetClass(className, {})->CreateInstance({}));
    }

    // A property of every scalar kind and a string array.
    boost::shared_ptr<THubInstance> Service() {
        auto service = Create("QRXSG_IPService");
        service->SetProperty("Name", TCIMValue("IPService"), {});
        service->SetProperty("HostName", TCIMValue("a \"b\"\\c\n"), {});
        service->SetProperty("ProxyEnabled", TCIMValue(false), {});
        service->SetProperty("MTU", TCIMValue(static_cast<unsigned short>(1500)), {});
        service->SetProperty("Index", TCIMValue(4294967295u), {});
        service->SetProperty("Speed", TCIMValue(10000000000ull), {});
        service->SetProperty("DNS", TCIMValue(TCIMType(kCIMTypeStringArray), 2,
                                              {TCIMValue("10.0.0.1"), TCIMValue("x\"y")}),
                             {});
        return service;
    }

    // The service, a link between it and a port that is not written, and a
    // keyless instance with no properties.
    InstanceList Sample() {
        auto service = Service();
        auto port = Create("QRXSG_PhysicalNetworkPort");
        port->SetProperty("DeviceID", TCIMValue("eth0"), {});
        auto link = Create("QRXSG_PortImplementsEndpoint");
        link->SetProperty("Dependent", TCIMValue(service->GetReference({})), {});
        link->SetProperty("Antecedent", TCIMValue(port->GetReference({})), {});
        return {service, link, Create("QRXSG_NextHopIPRoute")};
    }

    boost::shared_ptr<TPluginManagerNamespace> ns = boost::make_shared<TPluginManagerNamespace>();
};

TEST_F(FormatTest, JsonGivesEachPropertyItsValueAndType) {
    const char* expected = R"({
  "instances": [
    {
      "class": "QRXSG_IPService",
      "path": "QRXSG_IPService.Name=\"IPService\"",
      "properties": {
        "Name": "IPService",
        "HostName": "a \"b\"\\c\n",
        "ProxyEnabled": false,
        "MTU": 1500,
        "Index": 4294967295,
        "Speed": 10000000000,
        "DNS": [
          "10.0.0.1",
          "x\"y"
        ]
      },
      "types": {
        "Name": "string",
        "HostName": "string",
        "ProxyEnabled": "boolean",
        "MTU": "uint16",
        "Index": "uint32",
        "Speed": "uint64",
        "DNS": "string[]"
      }
    }
  ]
}
)";
    EXPECT_EQ(kvlhost::FormatJson({Service()}), expected);
    EXPECT_EQ(kvlhost::FormatJson({}), "{\n  \"instances\": []\n}\n");
}

// Control characters are escaped, valid UTF-8 passes, and each longest
// broken piece of a sequence becomes one U+FFFD.
TEST_F(FormatTest, JsonEscapesTextsAndReplacesBytesThatAreNotUtf8) {
    const std::string kBad = "\xEF\xBF\xBD";
    const struct {
        std::string text;
        std::string written;
    } kCases[] = {
        {"NIC\xAE", "NIC" + kBad},
        {"\x01\x1f\x7f", "\\u0001\\u001f\x7f"},
        {"\b\f\t\r\n", "\\b\\f\\t\\r\\n"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"\xE2\x82", kBad},                   // cut short at the end
        {"\xE2\x82x", kBad + "x"},            // cut short before a letter
        {"\xED\xA0\x80", kBad + kBad + kBad},  // an encoded surrogate
        {"\xC0\xAF", kBad + kBad},             // an overlong form
        {"0123456789abcdef\"tail\\", "0123456789abcdef\\\"tail\\\\"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.written);
        auto port = Create("QRXSG_PhysicalNetworkPort");
        port->SetProperty("Description", TCIMValue(c.text), {});
        EXPECT_NE(kvlhost::FormatJson({port}).find("\"Description\": \"" + c.written + "\""), std::string::npos);
    }
}

// A reference to an instance written before names its alias; one to an
// instance not written gives its object path.
TEST_F(FormatTest, MofWritesOneBlockPerInstanceAfterItsPath) {
    const char* expected = R"(// QRXSG_IPService.Name="IPService"
instance of QRXSG_IPService as $QRXSG_IPService_1
{
    Name = "IPService";
    HostName = "a \"b\"\\c\n";
    ProxyEnabled = FALSE;
    MTU = 1500;
    Index = 4294967295;
    Speed = 10000000000;
    DNS = {"10.0.0.1", "x\"y"};
};

// QRXSG_PortImplementsEndpoint.Antecedent="QRXSG_PhysicalNetworkPort.DeviceID=\"eth0\"",Dependent="QRXSG_IPService.Name=\"IPService\""
instance of QRXSG_PortImplementsEndpoint
{
    Dependent = $QRXSG_IPService_1;
    Antecedent = "QRXSG_PhysicalNetworkPort.DeviceID=\"eth0\"";
};

// QRXSG_NextHopIPRoute=@4
instance of QRXSG_NextHopIPRoute
{
};
)";
    EXPECT_EQ(kvlhost::FormatMof(Sample()), expected);
}

}  // namespace
