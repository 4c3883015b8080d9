// The Broadcom collector: opening and closing the library, teams and their
// virtual adapters, physical adapters and their firmware, hostile records,
// and the version texts' cleaning and splitting.
#include <gtest/gtest.h>

#include "platform/sim/sim_bmapi.h"
#include "support/registry_text.h"
#include "support/team_machine.h"

namespace linkscope {
namespace {

using bmapi::Entry;
using testing::CollectTeams;
using testing::LibraryOf;
using testing::NicAdapter;
using Texts = std::vector<std::string>;

std::size_t Calls(Entry entry) { return sim::NicLibraryCallCounts()[static_cast<std::size_t>(entry)]; }

const Texts kEmptyRun = {"Handling Teams NICs.", "No Teams are configured.",
                                            "Handling Physical NICs.", "Freeing up allocated memory."};

// Each opening failure ends the collector with its one message; the
// library is uninitialised exactly when it was initialised, and always
// released.
TEST(BroadcomOpening, FailuresEndCollectionWithTheirMessageAndCleanUp) {
    const struct {
        const char* name;
        std::function<void(sim::NicLibrary&)> edit;
        Texts log;
        std::size_t uninitialized;
    } cases[] = {
        {"load error", [](auto& l) { l.loadError = 193; }, {"Unable to load BMAPI.dll getlasterror: 193"}, 0},
        {"init 5", [](auto& l) { l.results[Entry::Initialize] = {5}; },
         {"Unable to initialize Broadcom interface - RC: 5"}, 0},
        {"no init", [](auto& l) { l.missing = {Entry::Initialize}; },
         {"Unable to initialize Broadcom interface - RC: 127"}, 0},
        {"612", [](auto& l) { l.failAllocation = {612}; }, {"Unable to allocate memory for Teams firmwareVersion."}, 1},
        {"484", [](auto& l) { l.failAllocation = {484}; },
         {"Unable to allocate memory for Teams firmwareVersion 5706."}, 1},
        {"516", [](auto& l) { l.failAllocation = {516}; },
         {"Unable to allocate memory for Teams firmwareVersion 57710."}, 1},
        {"1604", [](auto& l) { l.failAllocation = {1604}; }, {"Unable to allocate memory for Teams ASFTable."}, 1},
        {"nothing found", [](auto&) {}, kEmptyRun, 1},
        {"no uninitialize", [](auto& l) { l.missing = {Entry::Uninitialize}; }, kEmptyRun, 0},
    };
    for (const auto& c : cases) {
        sim::NicLibrary library = LibraryOf({NicAdapter(1)});
        library.adapterCount = 0;
        c.edit(library);
        const auto collected = CollectTeams(library);
        EXPECT_EQ(collected.log, c.log) << c.name;
        EXPECT_EQ(collected.adapters->GetPhysicalAdapters().size(), 0u) << c.name;
        EXPECT_FALSE(sim::NicLibraryServed()) << c.name;
        if (!library.loadError) {
            EXPECT_EQ(Calls(Entry::Uninitialize), c.uninitialized) << c.name;
        }
    }
    EXPECT_EQ(CollectTeams(sim::Machine{}).log, Texts{"Unable to load BMAPI.dll getlasterror: 126"});
}

// A virtual adapter without a hardware address takes the last one of its
// own team; the other fields are pinned by the team golden files.
TEST(BroadcomTeams, VirtualAdaptersTakeTheLastAddressOfTheirOwnTeam) {
    sim::NicLibrary library;
    library.teams = {{"Team-A", 7, 2, {}, {{11, "A-V1", "", "", 1, "AA0001", 0, "", 4, 7, {}, {}},
                                            {12, "A-V2", "", "", 0, "", 0, "", 5, 7, {}, {}}}, {}},
                     {"Team-B", 8, 0, {}, {{13, "B-V1", "", "", 1, "", 0, "", 9, 99, {}, {}}}, {}}};
    const auto collected = CollectTeams(library);
    Texts texts;
    for (const auto* adapter : collected.adapters->GetVirtualAdapters()) {
        texts.push_back(adapter->GetMacAddress() + " state " + std::to_string(adapter->GetEnabledState()));
    }
    EXPECT_EQ(texts, (Texts{"AA0001 state 2", "AA0001 state 3", " state 0"}));
}

TEST(BroadcomTeams, FailedCallsAreLoggedAndCollectionGoesOn) {
    const struct {
        const char* name;
        std::function<void(sim::NicLibrary&)> edit;
        Texts expectedLog;  // between the two phase headers
        std::size_t teams;
        std::size_t virtuals;
    } cases[] = {
        {"count", [](auto& l) { l.results[Entry::GetNumTeam] = {3}; },
         {"Unable to get number of Broadcom teams - RC: 3", "No Teams are configured."}, 0, 0},
        {"array", [](auto& l) { l.results[Entry::GetAllTeam] = {4}; },
         {"Unable to get BmapiGetAllTeam for Physical NIC - RC: 4"}, 0, 0},
        {"huge count", [](auto& l) { l.teamCount = 4000000; },
         {"Unable to allocate memory for Broadcom teams - count: 4000000"}, 0, 0},
        {"virtual adapter", [](auto& l) { l.teams[0].virtualAdapters[0].result = {31}; },
         {"Unable to get BmapiGetBrcmVirNic for Physical NIC - RC: 31"}, 1, 1},
        {"unknown handle", [](auto& l) { l.teams[0].virtualAdapterCount = 2; },
         {"Unable to get BmapiGetBrcmVirNic for Physical NIC - RC: 6"}, 1, 2},
    };
    for (const auto& c : cases) {
        sim::NicLibrary library;
        library.teams = {{"T", 1, 0, {}, {{21, "V", "", "", 1, "AB", 0, "", 4, 1, {}, {}}}, {}}};
        c.edit(library);
        const auto collected = CollectTeams(library);
        Texts log = {"Handling Teams NICs."};
        log.insert(log.end(), c.expectedLog.begin(), c.expectedLog.end());
        log.insert(log.end(), {"Handling Physical NICs.", "Freeing up allocated memory."});
        EXPECT_EQ(collected.log, log) << c.name;
        EXPECT_EQ(collected.teams->GetTeams().size(), c.teams) << c.name;
        EXPECT_EQ(collected.adapters->GetVirtualAdapters().size(), c.virtuals) << c.name;
    }
}

// Adapter types and the library's speed and link-setting codes, one
// adapter per row.
TEST(BroadcomAdapters, CodeTables) {
    const struct {
        std::uint32_t type, speed, link;
        const char* expected;  // NicType, Speed, SpeedDuplex
    } rows[] = {
        {99, 1, 0, "99 10000000 AUTO"},         {101, 2, 10, "4 100000000 "},
        {104, 3, 8, "4 1000000000 1000Mbps Full"}, {105, 4, 12, "0 2500000000 1000Mbps Full"},
        {7, 0, 22, "7 0 "},                      {0, 5, 19, "0 10000000000 Hardware Default"},
    };
    std::vector<sim::NicAdapter> adapters;
    for (std::uint32_t i = 0; i < std::size(rows); ++i) {
        adapters.push_back(NicAdapter(i + 1, [&](auto& a) {
            a.type = rows[i].type;
            a.speed = rows[i].speed;
            a.linkSetting = rows[i].link;
        }));
    }
    const auto collected = CollectTeams(LibraryOf(adapters));
    const auto records = collected.adapters->GetPhysicalAdapters();
    ASSERT_EQ(records.size(), std::size(rows));
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(std::to_string(records[i]->GetNicType()) + " " + std::to_string(records[i]->GetSpeed()) + " " +
                      records[i]->GetSpeedDuplex(),
                  rows[i].expected);
    }
}

// An adapter of type 4 is described by its second function's record (the
// team goldens pin that); each call that finds the record logs its failure.
TEST(BroadcomAdapters, TypeFourWithoutItsSecondFunctionLogsBothFailures) {
    const auto collected = CollectTeams(LibraryOf({NicAdapter(4, [](auto& a) {
        a.type = 4;
        a.results[Entry::GetVbdEnumInfo] = {50};
    })}));
    EXPECT_EQ(Texts(collected.log.begin() + 3, collected.log.begin() + 5),
              (Texts{"Unable to get BmapiGetVbdEnumInfo for Physical NIC for 5706 series- RC: 50",
                                        "Unable to get BmapiGetPhyNic for Physical NIC for 5706 series- RC: 6"}));
}

// Records of bytes no well-behaved library writes: every text runs to its
// field's end without a NUL, every number is 0x41414141, counts reach far
// past their records or memory.
TEST(BroadcomHostileRecords, TextsEndAtTheirFieldsAndCountsStayInBounds) {
    const auto filled = [](std::size_t size) { return std::vector<sim::RawPatch>{{0, std::vector<std::uint8_t>(size, 'A')}}; };
    sim::NicLibrary library = LibraryOf({NicAdapter(1, [&](auto& a) {
        a.raw[sim::AdapterRecordKind::kAdapter] = filled(1236);
        a.raw[sim::AdapterRecordKind::kExtended] = filled(208);
        a.raw[sim::AdapterRecordKind::kFirmware] = filled(612);
        a.raw[sim::AdapterRecordKind::kAsf] = filled(1604);
    })});
    library.teams = {{"T", 1, 0, {}, {}, filled(30316)}};
    auto collected = CollectTeams(library);
    ASSERT_EQ(collected.teams->GetTeams().size(), 1u);
    EXPECT_EQ(collected.teams->GetTeams()[0]->GetTeamName(), std::string(40, 'A'));
    EXPECT_EQ(collected.adapters->GetVirtualAdapters().size(), 64u) << "the handles the team record holds";
    const PhysicalNetworkAdapter& adapter = *collected.adapters->GetPhysicalAdapters().at(0);
    EXPECT_EQ(adapter.GetVendorName(), std::string(80, 'A'));
    EXPECT_EQ(adapter.GetTeamName(), std::string(40, 'A'));
    EXPECT_EQ(adapter.GetMemberType(), 0x41414142);
    EXPECT_EQ(adapter.GetFirmwareVersion(), std::string(96, 'A'));
    EXPECT_EQ(adapter.GetASFFirmwareVersion(), std::string(28, 'A'));
    EXPECT_EQ(adapter.GetPCIDeviceID(), "41414141");

    library.teamCount = 0xFFFFFFFF;
    library.adapterCount = 0x80000000;
    collected = CollectTeams(library);
    EXPECT_EQ(collected.log, (Texts{
                                 "Handling Teams NICs.", "Unable to allocate memory for Broadcom teams - count: 4294967295",
                                 "Handling Physical NICs.",
                                 "Unable to allocate memory for Physical NIC handles - count: 2147483648",
                                 "Freeing up allocated memory."}));
}

TEST(Teams, Wow64ModeIsWrittenOnlyUnderWow64) {
    for (const bool wow64 : {false, true}) {
        sim::Machine machine;
        machine.wow64 = wow64;
        testing::ScopedMachine installed(machine);
        Teams teams;
        platform::RegistryApi& registry = platform::Current().Registry();
        EXPECT_EQ(testing::Subkeys(registry, "SOFTWARE\\WOW6432NODE\\Broadcom").size(), wow64 ? 1u : 0u);
        EXPECT_EQ(testing::Values(registry, "SOFTWARE\\WOW6432NODE\\Broadcom\\BMAPI"),
                  wow64 ? Texts{"Wow64Mode 4 <01><00><00><00>"} : Texts{});
    }
}

// One adapter per row: its type picks the family (2 general, 101 5706,
// 5 57710); `edit` sets texts and codes. The firmware goldens pin each
// family's plain reading; service names are read last.
TEST(BroadcomFirmware, FamiliesFailuresAsfAndServiceNames) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::function<void(sim::NicAdapter&)> edit;
        const char* expected;  // FirmwareVersion|SecondFirmwareVersion|PCIDeviceID|ASFFirmwareVersion
        Texts logged;  // between the dump and "Added Network Adapter."
        std::vector<Entry> missing = {};
        const char* identity = "{S1} \\DEVICE\\TCPIP_{S1}";  // Name, DeviceID
    } rows[] = {
        {"control character", 2, [](auto& a) { a.firmware = "1.0\x01"; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info."}},
        {"5706 fails", 101, [](auto& a) { a.results[Entry::Get5706FwInfo] = {2}; }, "Unknown||0|",
         {"Unable to read Physical NICs 5706 firmwareVersion info - RC: 2"}},
        {"57711", 5, [](auto& a) { a.bootCode = "X-Y-Z"; a.pciDeviceId = 0x164F; }, "Z|57711|164f|",
         {"Physical NICs 57710 bc1_ver: X-Y-Z\nPhysical NICs 57710 bc2_ver: "}},
        {"57710 other id", 5, [](auto& a) { a.bootCode = "bc 7.0.4"; a.pciDeviceId = 0x1650; }, "7.0.4||1650|",
         {"Physical NICs 57710 bc1_ver: bc 7.0.4\nPhysical NICs 57710 bc2_ver: ",
          "BM_ADAPTER_INFO_EX device_id field contains unsupported value : 5712"}},
        {"57710 empty text", 5, [](auto& a) { a.pciDeviceId = 0x1650; }, "||1650|",
         {"Physical NICs 57710 bc1_ver: \nPhysical NICs 57710 bc2_ver: "}},
        {"57710 fails", 5, [](auto& a) { a.results[Entry::Get57710FwInfo] = {1}; }, "Unknown||0|",
         {"Unable to read Physical NICs 57710 firmwareVersion info - RC: 1"}},
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
         {"Successfully added Physical NICs firmwareVersion info.", "Unable to get ASF Table - RC: 127"},
         {Entry::GetASFTable}},
        {"second service name call", 2, [](auto& a) { a.results[Entry::GetServiceName] = {0, 1168}; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info.", "Unable to get service name. - RC: 1168"},
         {}, " \\DEVICE\\TCPIP_"},
        {"first service name call", 2, [](auto& a) { a.results[Entry::GetServiceName] = {1168, 0}; }, "||0|",
         {"Successfully added Physical NICs firmwareVersion info."}, {}, " \\DEVICE\\TCPIP_{S1}"},
        {"service name missing", 2, [](auto&) {}, "||0|",
         {"Successfully added Physical NICs firmwareVersion info.", "Unable to get service name. - RC: 127"},
         {Entry::GetServiceName}, " \\DEVICE\\TCPIP_"},
    };
    for (const auto& row : rows) {
        sim::NicLibrary library = LibraryOf({NicAdapter(1, [&](auto& a) {
            a.type = row.type;
            row.edit(a);
        })});
        library.missing = row.missing;
        const auto collected = CollectTeams(library);
        const PhysicalNetworkAdapter& adapter = *collected.adapters->GetPhysicalAdapters().at(0);
        EXPECT_EQ(adapter.GetFirmwareVersion() + "|" + adapter.GetSecondFirmwareVersion() + "|" +
                      adapter.GetPCIDeviceID() + "|" + adapter.GetASFFirmwareVersion(),
                  row.expected)
            << row.name;
        EXPECT_EQ(adapter.GetName() + " " + adapter.GetDeviceID(), row.identity) << row.name;
        EXPECT_EQ(Texts(collected.log.begin() + 4, collected.log.end() - 2), row.logged) << row.name;
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
