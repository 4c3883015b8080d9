// Firmware versions, PCI device id and ASF version of Broadcom adapters,
// and the version texts' cleaning and splitting.
#include <gtest/gtest.h>

#include "support/team_machine.h"

namespace linkscope {
namespace {

using bmapi::Entry;
using testing::CollectTeams;
using testing::LibraryOf;
using testing::NicAdapter;

// One adapter per row: its type picks the family (2 general, 101 5706,
// 5 57710); `edit` sets texts and codes.
TEST(BroadcomFirmware, FamiliesFailuresAndAsf) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::function<void(sim::NicAdapter&)> edit;
        const char* expected;  // FirmwareVersion|SecondFirmwareVersion|PCIDeviceID|ASFFirmwareVersion
        std::vector<std::string> logged;  // between the dump and "Added Network Adapter."
    } rows[] = {
        {"general", 2, [](auto& a) { a.firmware = " v2.1\nBC 9"; a.asf = "v1.0"; }, "2.1||0|1.0",
         {"Successfully added Physical NICs firmwareVersion info."}},
        {"general fails", 2, [](auto& a) { a.results[Entry::GetFirmwareInfo] = {9}; }, "||0|",
         {"Unable to read Physical NICs firmwareVersion info - RC: 9"}},
        {"control character", 2, [](auto& a) { a.firmware = "1.0\x01"; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info."}},
        {"5706", 101, [](auto& a) { a.bootCode = "5708c v1.9.6"; a.bootCode2 = "x"; }, "1.9.6|5708c|0|",
         {"Physical NICs 5706 bc1_ver: 5708c v1.9.6\nPhysical NICs 5706 bc2_ver: x"}},
        {"5706 fails", 101, [](auto& a) { a.results[Entry::Get5706FwInfo] = {2}; }, "Unknown||0|",
         {"Unable to read Physical NICs 5706 firmwareVersion info - RC: 2"}},
        {"57710", 5, [](auto& a) { a.bootCode = "bc 7.0.4"; a.pciDeviceId = 0x164E; }, "7.0.4|57710|164e|",
         {"Physical NICs 57710 bc1_ver: bc 7.0.4\nPhysical NICs 57710 bc2_ver: "}},
        {"57711", 5, [](auto& a) { a.bootCode = "X-Y-Z"; a.pciDeviceId = 0x164F; }, "Z|57711|164f|",
         {"Physical NICs 57710 bc1_ver: X-Y-Z\nPhysical NICs 57710 bc2_ver: "}},
        {"57710 other id", 5, [](auto& a) { a.bootCode = "bc 7.0.4"; a.pciDeviceId = 0x1650; }, "7.0.4||1650|",
         {"Physical NICs 57710 bc1_ver: bc 7.0.4\nPhysical NICs 57710 bc2_ver: ",
          "BM_ADAPTER_INFO_EX device_id field contains unsupported value : 5712"}},
        {"57710 empty text", 5, [](auto& a) { a.pciDeviceId = 0x1650; }, "||1650|",
         {"Physical NICs 57710 bc1_ver: \nPhysical NICs 57710 bc2_ver: "}},
        {"57710 fails", 5, [](auto& a) { a.results[Entry::Get57710FwInfo] = {1}; }, "Unknown||0|",
         {"Unable to read Physical NICs 57710 firmwareVersion info - RC: 1"}},
        {"no ASF", 2, [](auto& a) { a.asf = "1.1"; a.results[Entry::GetASFTable] = {57}; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info.",
          "Unable to get ASF Table - BCM NIC not configured for ASF."}},
        {"ASF fails", 2, [](auto& a) { a.results[Entry::GetASFTable] = {8}; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info.", "Unable to get ASF Table - RC: 8"}},
        {"diagnostics", 2,
         [](auto& a) {
             a.firmware = "3.3";
             a.results[Entry::InitDiag] = {4};
             a.results[Entry::UnInitDiag] = {5};
         },
         "3.3||0|",
         {"Unable to initialize diagnostics for Physical NIC - RC: 4",
          "Successfully added Physical NICs firmwareVersion info.", "Unable to un-intialize diags - RC: 5"}},
        {"ASF missing", 2, [](auto&) {}, "||0|",
         {"Successfully added Physical NICs firmwareVersion info.", "Unable to get ASF Table - RC: 127"}},
    };
    for (const auto& row : rows) {
        sim::NicLibrary library = LibraryOf({NicAdapter(1, [&](auto& a) {
            a.type = row.type;
            row.edit(a);
        })});
        if (std::string(row.name) == "ASF missing") library.missing = {Entry::GetASFTable};
        const auto collected = CollectTeams(library);
        const PhysicalNetworkAdapter& adapter = *collected.adapters->GetPhysicalAdapters().at(0);
        EXPECT_EQ(adapter.GetFirmwareVersion() + "|" + adapter.GetSecondFirmwareVersion() + "|" +
                      adapter.GetPCIDeviceID() + "|" + adapter.GetASFFirmwareVersion(),
                  row.expected)
            << row.name;
        EXPECT_EQ(std::vector<std::string>(collected.log.begin() + 4, collected.log.end() - 2), row.logged)
            << row.name;
    }
}

TEST(VersionText, CleaningAndSplitting) {
    const struct {
        const char* text;
        const char* cleaned;
        const char* after;
        const char* before;
    } rows[] = {
        {"", "", "", ""},
        {"5708c v1.9.6", "5708c 1.9.6", "1.9.6", "5708c"},
        {"  v1.2  \nsecond line", "1.2", "1.2", "1.2"},
        {"1.0\r tail", "1.0", "1.0", "1.0"},
        {"   ", "", "", ""},
        {"bad\x7f", "", "", ""},
        {"caf\xc3\xa9", "", "", ""},
        {"tab\there", "tab\there", "tab\there", "tab\there"},
        {"v", "v", "v", "v"},
        {"2.0v", "2.0v", "2.0v", "2.0v"},
        {"vx1 V2 vv3", "vx1 V2 v3", "v3", "vx1 V2"},
        {"X-Y-Z", "X-Y-Z", "Z", "X-Y"},
        {"A-B C", "A-B C", "B C", "A"},
        {"one two three", "one two three", "three", "one two"},
    };
    for (const auto& row : rows) {
        const std::string cleaned = Teams::CleanVersionText(row.text);
        EXPECT_EQ(cleaned, row.cleaned) << row.text;
        std::string after = cleaned;
        std::string before = cleaned;
        Teams::SplitVersionText(after, before);
        EXPECT_EQ(after + "|" + before, std::string(row.after) + "|" + row.before) << row.text;
    }
}

}  // namespace
}  // namespace linkscope
