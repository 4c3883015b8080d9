// kvlhost: a host process for the network-inventory plug-in. It loads the
// plug-in, lets it collect once, queries it class by class and prints each
// instance as it is committed. Exit 0 on success, 2 on bad usage or a bad
// machine file, 1 when the plug-in or the host fails; every failure is one
// line of valid text on stderr, and stdout then holds no complete document:
// nothing, or the whole chunks of output sent before the failure.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>

#include <boost/pointer_cast.hpp>

#include "failure.h"
#include "format.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "kvl/logger.h"
#include "one_line.h"
#include "options.h"
#include "pci_devices.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"
#include "plugin_session.h"
#include "process.h"
#include "served_classes.h"

namespace kvlhost {
namespace {

using namespace NQRXKVL20;

// A described machine is read once here, from a file or standard input:
// it names the system in every instance, so that its inventory is the same
// on any computer, and brings the PCI devices the host serves beside the
// plug-in. Its text then goes to the plug-in. KVL_EXCLUDEIP is set before
// the plug-in is loaded, which reads it itself.
std::optional<MachineDescription> PrepareEnvironment(const Options& options, TPluginManagerNamespace& manager) {
    std::optional<MachineDescription> description;
    if (!options.machineFile.empty()) {
        if (options.machineFile == linkscope::sim::kStandardInputPath) UseBinaryStandardInput();
        description.emplace();
        description->origin = linkscope::sim::MachineOrigin(options.machineFile);
        try {
            description->text = linkscope::sim::ReadMachineText(options.machineFile);
            const auto machine = linkscope::sim::ParseMachine(description->text, description->origin);
            TOSSpecific::SetMachineName(machine->host.hostName);
            if (machine->pciDevices) InstallPciDevices(manager, *machine->pciDevices);
        } catch (const linkscope::sim::MachineFileError& error) {
            throw RunFailure(kExitUsage, error.what());
        }
    }
    if (options.excludeIp && !SetProcessEnvironment("KVL_EXCLUDEIP", "1")) {
        throw RunFailure(kExitFailed, "cannot set KVL_EXCLUDEIP in the environment");
    }
    return description;
}

std::vector<std::string> ClassesToQuery(const Options& options, TPluginManagerNamespace& manager) {
    if (options.classes.empty()) return ServedClasses();
    for (const std::string& name : options.classes) {
        try {
            manager.GetClass(name, TCIMPropertyMap());
        } catch (const TKVLException&) {
            throw RunFailure(kExitUsage, "unknown class " + name);
        }
    }
    return options.classes;
}

// Messages are echoed, not kept: the runner never reads them back.
void EchoLog(int maxLevel) {
    TRootObject::CoreLogger().KeepEntries(false);
    TRootObject::CoreLogger().SetEcho(
        [](int level, const std::string& text) {
            std::cerr << "log " << level << ": " << text;
            if (text.empty() || text.back() != '\n') std::cerr << '\n';
        },
        maxLevel);
}

int Run(const Options& options) {
    const auto manager =
        boost::dynamic_pointer_cast<TPluginManagerNamespace>(TRootObject::GetPluginManager());
    std::optional<MachineDescription> machine = PrepareEnvironment(options, *manager);
    const std::vector<std::string> classes = ClassesToQuery(options, *manager);
    EchoLog(options.logLevel);
    const char* const defaultPlugin = machine ? kSimulatedPluginFileName : kPluginFileName;
    const std::string path = options.pluginPath.empty() ? RunnerFolder() + defaultPlugin : options.pluginPath;
    const std::unique_ptr<InstanceWriter> writer =
        options.format == OutputFormat::kJson ? MakeJsonWriter(std::cout) : MakeMofWriter(std::cout);
    RunPluginSession(*manager, path, std::move(machine), classes, *writer);
    writer->Finish();
    std::cout.flush();
    return kExitOk;
}

}  // namespace
}  // namespace kvlhost

int main(int argc, char** argv) {
    kvlhost::PrepareHeap();
    kvlhost::Options options;
    if (const auto exitCode = kvlhost::ParseOptions(argc, argv, options)) return *exitCode;
    try {
        const int code = kvlhost::Run(options);
        // Ends without tearing the libraries down: all that is left is
        // memory (the simulated machine, the host's tables), which the
        // system takes back at once, faster than freeing it piece by piece.
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "kvlhost: cannot write the output\n";
            std::_Exit(kvlhost::kExitFailed);
        }
        std::cerr.flush();
        std::_Exit(code);
    } catch (const kvlhost::RunFailure& failure) {
        std::cerr << "kvlhost: " << kvlhost::OneLine(failure.what()) << '\n';
        return failure.Code();
    } catch (const std::exception& error) {
        std::cerr << "kvlhost: " << kvlhost::OneLine(error.what()) << '\n';
        return kvlhost::kExitFailed;
    }
}
