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
// it: the backend, the machine name, the core log.
class InstalledMachine {
public:
    explicit InstalledMachine(const sim::Machine& machine)
        : previous_(platform::Install(sim::MakeSimulatedPlatform(std::make_shared<sim::Machine>(machine)))) {
        TRootObject::CoreLogger().KeepEntries(false);
        TOSSpecific::SetMachineName(machine.host.hostName);
    }
    ~InstalledMachine() {
        platform::Install(std::move(previous_));
        TOSSpecific::SetMachineName("");
        TRootObject::CoreLogger().Clear();
    }
    InstalledMachine(const InstalledMachine&) = delete;
    InstalledMachine& operator=(const InstalledMachine&) = delete;

private:
    std::unique_ptr<platform::Platform> previous_;
};

bool TextEnds(const std::string& text, std::size_t maxLength) {
    return text.size() <= maxLength && text.find('\0') == std::string::npos;
}

// True when no text of the collected records holds a NUL or is longer than
// `maxLength` bytes.
bool RecordTextsEnd(const AdaptersInfo& adapters, const Teams& teams, std::size_t maxLength) {
    for (const TeamInfo* team : teams.GetTeams()) {
        if (!TextEnds(team->GetTeamName(), maxLength)) return false;
    }
    const auto adapterTextsEnd = [&](const NetworkAdapter& a) {
        for (const std::string& text : {a.GetName(), a.GetDeviceID(), a.GetDescription(), a.GetMacAddress(),
                                        a.GetPermanentAddress(), a.GetSpeedDuplex(), a.GetFirmwareVersion(),
                                        a.GetSecondFirmwareVersion(), a.GetPCIDeviceID(), a.GetASFFirmwareVersion()}) {
            if (!TextEnds(text, maxLength)) return false;
        }
        return true;
    };
    for (const PhysicalNetworkAdapter* adapter : adapters.GetPhysicalAdapters()) {
        if (!adapterTextsEnd(*adapter) || !TextEnds(adapter->GetTeamName(), maxLength)) return false;
    }
    for (const VirtualNetworkAdapter* adapter : adapters.GetVirtualAdapters()) {
        if (!adapterTextsEnd(*adapter) || !TextEnds(adapter->GetVlanName(), maxLength)) return false;
    }
    return true;
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
    if (maxText) FUZZ_CHECK(RecordTextsEnd(adapters, teams, maxText));

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

void CheckChangedMachine(FuzzInput& in, sim::Machine machine, void (*change)(FuzzInput&, sim::Machine&),
                         std::size_t maxText) {
    for (int changes = 0; !in.Empty() && changes < 64; ++changes) change(in, machine);
    CheckInventory(machine, maxText);
}

}  // namespace linkscope::fuzz
