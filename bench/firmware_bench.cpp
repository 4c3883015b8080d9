// Queries of the firmware elements and of their associations with the
// ports, for many Broadcom adapters, through the stand-in host: the
// association's enumerations ask the plug-in again for the ports and the
// elements it pairs. Collection happens once before the timing.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/class_queries.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"
#include "teams/teams.h"

namespace linkscope::bench {
namespace {

using namespace NQRXKVL20;

// `count` stand-alone Broadcom adapters. Even ones share one boot-code and
// one ASF version, so each of their searches meets every element of that
// version handed out before; odd ones have versions of their own (some
// occurring in others, as 4.1 does in 4.13) that name no chip, so the
// host's PCI devices are asked for.
sim::Machine FirmwareLibraryMachine(std::uint32_t count) {
    sim::Machine machine;
    machine.host = {"bench-host", "bench.example", 0, 0};
    sim::NicLibrary& library = machine.nicLibrary.emplace();
    library.adapters.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        char mac[16];
        std::snprintf(mac, sizeof mac, "0210%08X", static_cast<unsigned>(i));
        sim::NicAdapter adapter;
        adapter.handle = i + 1;
        adapter.title = adapter.description = "Broadcom NetXtreme Gigabit #" + std::to_string(i);
        adapter.currentMac = adapter.permanentMac = mac;
        char guid[64];
        std::snprintf(guid, sizeof guid, "{6B1F2A10-0000-4000-8000-%012X}", static_cast<unsigned>(i));
        adapter.serviceName = guid;
        adapter.speed = 3;
        adapter.pciDeviceId = 0x165A;
        const bool shared = i % 2 == 0;
        adapter.firmware = shared ? "5722-v3.38" : "v4." + std::to_string(i);
        adapter.asf = shared ? "2.0.9" : "2.1." + std::to_string(i);
        library.adapters.push_back(std::move(adapter));
    }
    return machine;
}

struct FirmwareRecords {
    std::unique_ptr<Teams> teams;
    std::unique_ptr<AdaptersInfo> adapters;
};

FirmwareRecords CollectFirmwareRecords(std::uint32_t count) {
    auto previous = platform::Install(
        sim::MakeSimulatedPlatform(std::make_shared<sim::Machine>(FirmwareLibraryMachine(count))));
    FirmwareRecords records{std::make_unique<Teams>(), std::make_unique<AdaptersInfo>()};
    records.teams->CollectBroadcomTeams(*records.adapters);
    platform::Install(std::move(previous));
    TRootObject::CoreLogger().Clear();
    return records;
}

void BM_Firmware(benchmark::State& state) {
    const FirmwareRecords records = CollectFirmwareRecords(static_cast<std::uint32_t>(state.range(0)));
    // Every request logs each adapter's record; the texts are made, not kept.
    TRootObject::CoreLogger().KeepEntries(false);
    TimeClassQueries(state, provider::CollectedData{nullptr, records.adapters.get(), records.teams.get()},
                     {"QRXSG_BcmDeviceFirmwareElement", "QRXSG_BcmDeviceFirmware"});
    TRootObject::CoreLogger().KeepEntries(true);
}

BENCHMARK(BM_Firmware)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
