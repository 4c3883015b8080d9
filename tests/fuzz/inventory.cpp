#include "inventory.h"

#include <map>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>
#include <nlohmann/json.hpp>

#include "collect/adapters_info.h"
#include "collect/network_params.h"
#include "collect/route_info.h"
#include "format.h"
#include "targets.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "kvl/root.h"
#include "pci_devices.h"
#include "platform/platform.h"
#include "platform/sim/machine_file.h"
#include "provider/linkscope.h"
#include "teams/teams.h"
#include "support/fake_plugin.h"
#include "support/sim_machine.h"

namespace linkscope::fuzz {
namespace {

using namespace NQRXKVL20;

// Serves the collected objects as the plug-in object does.
class CollectedPlugin : public testing::QuietPlugin {
public:
    explicit CollectedPlugin(const provider::CollectedData& data) : data_(data) {}
    void QueryInstances(boost::shared_ptr<ICIMNamespace> ns,
                        const std::vector<boost::shared_ptr<ICIMClass>>& classes) override {
        provider::QueryInstances(ns, classes, data_);
    }

private:
    provider::CollectedData data_;
};

// Installs the machine for one run and puts everything global back after
// it: the backend, the machine name, the core log, which keeps no entries
// meanwhile.
class InstalledMachine : testing::ScopedMachine {
public:
    explicit InstalledMachine(const sim::Machine& machine) : ScopedMachine(machine) {
        TRootObject::CoreLogger().KeepEntries(false);
        TOSSpecific::SetMachineName(machine.host.hostName);
    }
    ~InstalledMachine() {
        TOSSpecific::SetMachineName("");
        TRootObject::CoreLogger().KeepEntries(true);
    }
};

std::vector<std::string> RecordTexts(const AdaptersInfo& adapters, const Teams& teams) {
    std::vector<std::string> texts;
    for (const TeamInfo* team : teams.GetTeams()) texts.push_back(team->GetTeamName());
    const auto add = [&texts](const NetworkAdapter& a, const std::string& own) {
        texts.insert(texts.end(), {a.GetName(), a.GetDeviceID(), a.GetDescription(), a.GetMacAddress(),
                                   a.GetPermanentAddress(), a.GetSpeedDuplex(), a.GetFirmwareVersion(),
                                   a.GetSecondFirmwareVersion(), a.GetPCIDeviceID(), a.GetASFFirmwareVersion(), own});
    };
    for (const PhysicalNetworkAdapter* adapter : adapters.GetPhysicalAdapters()) add(*adapter, adapter->GetTeamName());
    for (const VirtualNetworkAdapter* adapter : adapters.GetVirtualAdapters()) add(*adapter, adapter->GetVlanName());
    return texts;
}

}  // namespace

const sim::Machine& ProjectMachine(const std::string& fileName) {
    static std::map<std::string, std::shared_ptr<const sim::Machine>> loaded;
    auto& machine = loaded[fileName];
    if (!machine) machine = sim::LoadMachineFile(std::string(LINKSCOPE_SOURCE_DIR) + "/machines/" + fileName);
    return *machine;
}

void CheckInventory(const sim::Machine& machine, std::size_t maxText) {
    const InstalledMachine installed(machine);
    const auto manager = boost::make_shared<TPluginManagerNamespace>();
    if (machine.pciDevices) kvlhost::InstallPciDevices(*manager, *machine.pciDevices);

    // The order of the plug-in's own collection.
    NetworkParams networkParams;
    networkParams.Collect();
    RouteInfo routes;
    routes.Collect();
    Teams teams;
    AdaptersInfo adapters;
    teams.Collect(adapters);
    adapters.Collect();
    if (maxText) {
        for (const std::string& text : RecordTexts(adapters, teams)) {
            FUZZ_CHECK(text.size() <= maxText && text.find('\0') == std::string::npos);
        }
    }

    CollectedPlugin plugin(provider::CollectedData{&networkParams, &adapters, &teams});
    manager->RegisterPlugin(&plugin);
    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    for (const char* name : provider::ServedClassNames()) {
        try {
            plugin.QueryInstances(manager, {manager->GetClass(name, context)});
        } catch (const TKVLException&) {
            // A host failure (the PCI devices' provider) ends that query only.
        }
    }
    const kvlhost::InstanceList committed = manager->Committed();
    manager->UnregisterAll();

    const nlohmann::json json = nlohmann::json::parse(kvlhost::FormatJson(committed));
    FUZZ_CHECK(json.at("instances").size() == committed.size());
    const std::string mof = kvlhost::FormatMof(committed);
    FUZZ_CHECK(committed.empty() == mof.empty());
}

void CheckChangedMachine(const std::uint8_t* data, std::size_t size, const std::vector<std::string>& bases,
                         void (*change)(FuzzInput&, sim::Machine&), std::size_t maxText) {
    FuzzInput in(data, size);
    // With one machine to start from, no byte goes to picking it.
    const auto pick = bases.size() == 1 ? 0 : in.Below(static_cast<std::uint32_t>(bases.size()));
    sim::Machine machine = ProjectMachine(bases[pick]);
    for (int changes = 0; !in.Empty() && changes < 64; ++changes) change(in, machine);
    CheckInventory(machine, maxText);
}

}  // namespace linkscope::fuzz
