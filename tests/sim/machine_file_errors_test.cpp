// A machine description that cannot be used is refused with one line that
// names the file, the field and the problem. (Every shipped machine file is
// run through the runner by the machine inventory test.)
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
namespace {

template <class Load>
std::string RefusalOf(Load load) {
    try {
        load();
    } catch (const MachineFileError& e) {
        return e.what();
    }
    return "(accepted)";
}
std::string Refusal(const std::string& text) {
    return RefusalOf([&] { ParseMachine(text, "m.json"); });
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

// An adapter with the fields every adapter needs and `extra` ones.
std::string Adapter(const std::string& extra) {
    return R"({"adapters": [{"guid": "{A}", "index": 1)" + (extra.empty() ? "" : ", " + extra) + "}]}";
}

TEST(MachineFileErrorsTest, NamesFileFieldAndProblem) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        // Shape: unknown fields, wrong types, missing fields.
        {"{\"host\": {\"x\\ny\": 1}}",
         "m.json: host.x\\x0Ay: unknown field (known: hostName, domainName, enableRouting, enableProxy)"},
        {"[]", "m.json: (top level): expected an object"},
        {R"({"adapters": {}})", "m.json: adapters: expected an array"},
        {R"({"adapters": [{"index": 1}]})", "m.json: adapters[0]: missing the required field \"guid\""},
        {R"({"ipv6Available": "yes"})", "m.json: ipv6Available: expected true or false"},
        {R"({"pciDevices": {"devices": [{"PciDeviceID": 65536}]}})",
         "m.json: pciDevices.devices[0].PciDeviceID: expected an integer from 0 to 65535 or a string"},
        {R"({"host": {"enableProxy": -1}})", "m.json: host.enableProxy: expected an integer from 0 to 4294967295"},
        {R"({"host": {"enableProxy": 4294967296}})",
         "m.json: host.enableProxy: expected an integer from 0 to 4294967295"},
        {Adapter(R"("mtu": 1500.5)"), "m.json: adapters[0].mtu: expected an integer from 0 to 4294967295"},
        {R"({"environment": {"X": 1}})", "m.json: environment[\"X\"]: expected a string"},
        {R"({"environment": {"A=B": "1"}})",
         "m.json: environment[\"A=B\"]: a variable name has 1 to 32767 characters and no \"=\" after its first"},
        // Values.
        {R"({"adapters": [{"guid": "{A}", "index": 1}, {"guid": "{B}", "index": 2, "mac": "00-1A-2B-3C-4D-5"}]})",
         "m.json: adapters[1].mac: expected hex bytes like \"00-1A-2B-3C-4D-5E\""},
        {Adapter(R"("mac": "00-01-02-03-04-05-06-07-08")"), "m.json: adapters[0].mac: at most 8 bytes, got 9"},
        {Adapter(R"("ipv6": "fe80::1::2")"),
         "m.json: adapters[0].ipv6: expected an IPv6 address like \"fe80::21a:2bff:fe3c:4d5e\""},
        {Adapter(R"("ipv4": ["10.0.0.5/33"])"),
         "m.json: adapters[0].ipv4[0]: mask \"33\" is neither dotted nor a prefix length from 0 to 32"},
        {Adapter(R"("ipv4": ["10.0.0.5"])"),
         "m.json: adapters[0].ipv4[0]: expected \"ADDRESS/MASK\" like \"10.0.0.5/255.255.255.0\" or \"10.0.0.5/24\""},
        {Adapter(R"("gateways": ["10.0.0.256"])"),
         "m.json: adapters[0].gateways[0]: expected a dotted IPv4 address like \"10.0.0.1\""},
        {Adapter(R"("wins": ["10.0.0.1", "10.0.0.2", "10.0.0.3"])"),
         "m.json: adapters[0].wins: at most 2 addresses, the primary and the secondary server"},
        {Adapter(R"("description": ")" + std::string(132, 'x') + "\""),
         "m.json: adapters[0].description: longer than 131 characters"},
        {R"({"disabledAdapters": [{"guid": "{D}", "interfaceClasses": 4}]})",
         "m.json: disabledAdapters[0].interfaceClasses: at most 3 interface classes"},
        // Raw registry keys and values.
        {R"({"registry": {"A\\\\B": {}}})",
         "m.json: registry[\"A\\\\B\"]: expected key names of 1 to 255 characters joined by single \"\\\""},
        {R"({"registry": {"K": {"V": true}}})",
         "m.json: registry[\"K\"][\"V\"]: expected a string, an integer from 0 to 4294967295 or {\"hex\": \"...\"}"},
        {R"({"registry": {"K": {"V": {"hex": "0"}}}})",
         "m.json: registry[\"K\"][\"V\"].hex: expected hex bytes like \"00ff\""},
        {R"({"registry": {"K": {"@open": 5}}})",
         "m.json: registry[\"K\"][\"@open\"]: unknown key setting (known: @openResult, @queryInfoResult)"},
        // Malformed JSON.
        {"{\n  \"host\": {\n    \"hostName\" \"x\"\n  }\n}",
         "m.json: line 3, column 18: syntax error while parsing object separator - unexpected string literal; "
         "expected ':'"},
        {R"({"host": {"enableProxy": 1e400}})", "m.json: line 1, column 30: number overflow parsing '1e400'"},
        {Adapter(R"("index": 2)"), "m.json: adapters[0].index: given twice"},
        {R"({"about": )" + std::string(100, '[') + std::string(100, ']') + "}",
         "m.json: about" + Repeated("[0]", 63) + ": nested deeper than 64 levels"},
        {R"({"kernelLinks": [{"name": "e0", "master": "bond0"}]})",
         "m.json: kernelLinks[0].master: no listed interface has this name"},
        {R"({"kernelLinks": [{"name": "v", "kind": "vlan", "parent": "e0"}, {"name": "e0"}, {"name": "e0"}]})",
         "m.json: kernelLinks[2].name: the name is already listed"},
        {R"({"kernelLinks": [{"name": "e0", "slaveState": "standby"}]})",
         "m.json: kernelLinks[0].slaveState: expected \"active\" or \"backup\""},
        {R"({"kernelLinks": [{"name": "v", "vlanId": 4096}]})",
         "m.json: kernelLinks[0].vlanId: a VLAN id is 0 to 4095"},
        {R"({"kernelLinks": [{"name": "sixteen-chars-xx"}]})",
         "m.json: kernelLinks[0].name: longer than 15 characters"},
    };
    for (const Case& c : cases) EXPECT_EQ(Refusal(c.text), c.message) << c.text;
}

// Answers a real system can give, however rare, so that they can be
// collected end to end.
TEST(MachineFileErrorsTest, AcceptsWhatASystemCanAnswer) {
    const std::string accepted[] = {
        Adapter(R"("ipv4": ["10.0.0.6/255.0.255.0"])"),  // a mask that is not contiguous
        Adapter(R"("ipv4": ["/", "10.0.0.5/", "/24"])"),  // empty address and mask texts
        Adapter(R"("dhcpServer": "", "wins": ["", "10.0.0.2"], "gateways": [""], "dns": [""])"),
        Adapter(R"("dhcp": false, "dhcpServer": "10.0.0.1")"),  // a server left from DHCP
        R"({"registry": {"K": {"@@openResult": 1, "": "default value"}}})",  // value names "@openResult" and ""
        R"({"environment": {"=C:": "C:\\", ")" + std::string(300, 'N') + R"(": "long name"}})",
        R"({"nicLibrary": {"loadError": 0}})",  // a failed load whose error code is 0
        R"({"nicLibrary": {"adapters": [{"handle": 3}, {"handle": 3}],
                           "teams": [{"virtualAdapters": [{"handle": 9}, {"handle": 9}]}]}})",  // repeated handles
    };
    for (const std::string& text : accepted) EXPECT_EQ(Refusal(text), "(accepted)") << text;
}

}  // namespace
}  // namespace linkscope::sim
