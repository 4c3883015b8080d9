// A plug-in library for the runner's end-to-end tests: fixed instances of a
// few classes, the machine and environment it was given, one refused class,
// and a log line for each step the runner drives.
#include <cstdlib>
#include <stdexcept>

#include <boost/pointer_cast.hpp>

#include "frame/machine_setup.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "support/fake_plugin.h"

namespace {

using namespace NQRXKVL20;

bool machineGiven = false;

void Log(int level, const std::string& text) { TRootObject::GetCoreLogger()->Log(level, text); }

class ProbePlugin : public linkscope::testing::QuietPlugin {
public:
    void Destroy() override {
        Log(3, "probe destroyed");
        delete this;
    }
    void Collect() override {
        Log(1, "probe level-one message");
        Log(3, "probe collected");
    }
    void Cleanup() override { Log(3, "probe cleaned up"); }

    void QueryInstances(boost::shared_ptr<ICIMNamespace> ns, const linkscope::testing::ClassList& classes) override {
        for (const auto& cls : classes) {
            const std::string name = cls->GetName({});
            if (name == "QRXSG_IPService") Service(*cls);
            if (name == "QRXSG_VirtualNetworkPort") Ports(*cls);
            if (name == "QRXSG_PortImplementsEndpoint") Links(*ns, *cls);
            if (name == "QRXSG_PCIDevice") throw std::runtime_error("probe refuses " + name);
        }
    }

private:
    static void Service(ICIMClass& cls) {
        const char* exclude = std::getenv("KVL_EXCLUDEIP");
        auto service = cls.CreateInstance({});
        service->SetProperty("Name", TCIMValue("IPService"), {});
        service->SetProperty("MachineFileGiven", TCIMValue(machineGiven), {});
        if (machineGiven) service->SetProperty("MachineName", TCIMValue(TOSSpecific::GetMachineName()), {});
        service->SetProperty("ExcludeIp", TCIMValue(exclude ? exclude : "unset"), {});
        service->Commit({});
    }

    static void Ports(ICIMClass& cls) {
        for (const char* id : {"team0", "team1"}) {
            auto port = cls.CreateInstance({});
            port->SetProperty("SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem"), {});
            port->SetProperty("CreationClassname", TCIMValue("QRXSG_VirtualNetworkPort"), {});
            port->SetProperty("SystemName", TCIMValue("PROBE-HOST"), {});
            port->SetProperty("DeviceID", TCIMValue(id), {});
            port->SetProperty("Speed", TCIMValue(1000000000ull), {});
            port->Commit({});
        }
    }

    // Finds its ends through the host, as an association does.
    static void Links(ICIMNamespace& ns, ICIMClass& cls) {
        std::vector<boost::shared_ptr<ICIMInstance>> ports;
        ns.GetClass("QRXSG_VirtualNetworkPort", {})
            ->EnumerateInstances(TAddToVectorCallback<ICIMInstance>(&ports), true, {});
        for (const auto& port : ports) {
            auto link = cls.CreateInstance({});
            link->SetProperty("Antecedent", TCIMValue(port->GetReference({})), {});
            link->Commit({});
        }
    }
};

// Runs when the library is loaded, as the attach step of a plug-in does.
ProbePlugin* Attach() {
    auto* probe = new ProbePlugin;
    boost::dynamic_pointer_cast<TPluginManagerNamespace>(TRootObject::GetPluginManager())->RegisterPlugin(probe);
    return probe;
}

ProbePlugin* const attached = Attach();

}  // namespace

LINKSCOPE_EXPORT const char* linkscope_simulate_machine(const char*, std::size_t, const char*) {
    machineGiven = true;
    return nullptr;
}
