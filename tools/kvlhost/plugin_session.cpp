#include "plugin_session.h"

#include <algorithm>
#include <exception>

#include "failure.h"
#include "held_associations.h"
#include "frame/machine_setup.h"
#include "kvl/core.h"
#include "kvl/logger.h"
#include "kvl/root.h"
#include "process.h"

namespace kvlhost {

using namespace NQRXKVL20;

namespace {

// Runs one step of the plug-in. Returns an empty string, or the reason the
// step failed, led by its name.
template <class Step>
std::string Attempt(const std::string& name, Step step) {
    try {
        step();
        return std::string();
    } catch (const std::exception& error) {
        return name + " failed: " + error.what();
    } catch (...) {
        return name + " failed: an exception that is not a std::exception";
    }
}

// The associations among `classes` that come after an instance class,
// each once: only their references can name an instance written before
// them.
std::vector<std::string> AssociationsAfterInstances(const TPluginManagerNamespace& manager,
                                                    const std::vector<std::string>& classes) {
    std::vector<std::string> found;
    bool instanceClassSeen = false;
    for (const std::string& name : classes) {
        if (!manager.IsAssociation(name)) {
            instanceClassSeen = true;
        } else if (instanceClassSeen && std::find(found.begin(), found.end(), name) == found.end()) {
            found.push_back(name);
        }
    }
    return found;
}

// Routes the store's commits to a sink for the length of a scope.
class CommitSinkGuard {
public:
    CommitSinkGuard(TPluginManagerNamespace& manager, TPluginManagerNamespace::TCommitSink sink)
        : manager_(manager) {
        manager_.SetCommitSink(std::move(sink));
    }
    ~CommitSinkGuard() { manager_.SetCommitSink(nullptr); }
    CommitSinkGuard(const CommitSinkGuard&) = delete;
    CommitSinkGuard& operator=(const CommitSinkGuard&) = delete;

private:
    TPluginManagerNamespace& manager_;
};

// Queries the associations that come after instance classes and hands
// their instances to the writer's Foresee, holding them and the messages
// the echo would have printed until their turn. The ordinals are handed
// out again afterwards, so that neither the log nor the paths show this
// early round. Returns the reason a query failed, or nothing.
template <class Query>
std::string HoldLaterAssociations(TPluginManagerNamespace& manager, const std::vector<std::string>& classes,
                                  InstanceWriter& writer, HeldAssociations& held, const Query& query) {
    const unsigned long long lastOrdinal = manager.LastOrdinal();
    TCoreLogger& logger = TRootObject::CoreLogger();
    const TCoreLogger::TEcho echo = logger.Echo();
    const int echoLevel = logger.EchoLevel();
    if (echo) logger.SetEcho([&](int level, const std::string& text) { held.HoldMessage(level, text); }, echoLevel);
    std::string failure;
    {
        const CommitSinkGuard foresee(manager, [&](const THubInstance& instance) {
            writer.Foresee(instance);
            held.Hold(instance);
        });
        for (const std::string& name : AssociationsAfterInstances(manager, classes)) {
            held.Begin(name, manager.LastOrdinal());
            failure = query(name);
            if (!failure.empty()) break;
            held.End(manager.LastOrdinal());
        }
    }
    logger.SetEcho(echo, echoLevel);
    manager.RestoreOrdinal(lastOrdinal);
    return failure;
}

void* LoadPlugin(const std::string& path) {
    std::string problem = LibraryFileProblem(path);
    void* library = problem.empty() ? LoadLibraryNow(path, problem) : nullptr;
    if (library == nullptr) throw RunFailure(kExitFailed, "cannot load the plug-in " + path + ": " + problem);
    return library;
}

void HandOver(void* library, const std::string& path, const MachineDescription& machine) {
    const auto simulate = reinterpret_cast<linkscope::SimulateMachineFunction>(
        LibraryFunction(library, linkscope::kSimulateMachineFunction));
    if (simulate == nullptr) throw RunFailure(kExitUsage, "the plug-in " + path + " takes no machine description");
    if (const char* reason = simulate(machine.text.data(), machine.text.size(), machine.origin.c_str())) {
        throw RunFailure(kExitUsage, reason);
    }
}

}  // namespace

void RunPluginSession(TPluginManagerNamespace& manager, const std::string& path,
                      std::optional<MachineDescription> machine, const std::vector<std::string>& classes,
                      InstanceWriter& writer) {
    void* library = LoadPlugin(path);
    if (manager.Plugins().empty()) throw RunFailure(kExitFailed, "the plug-in did not register");
    IPluginCallbacks* plugin = manager.Plugins().front();
    auto* queries = dynamic_cast<IPluginBasicQueryCallbacks*>(plugin);
    if (queries == nullptr) throw RunFailure(kExitFailed, "the plug-in does not answer queries");
    if (machine) {
        try {
            HandOver(library, path, *machine);
        } catch (const RunFailure&) {
            plugin->Destroy();
            manager.UnregisterAll();
            throw;
        }
        machine.reset();  // the plug-in keeps what it parsed; the text is not needed again
    }

    const boost::shared_ptr<ICIMNamespace> ns = manager.shared_from_this();
    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);

    const auto query = [&](const std::string& name) {
        return Attempt("query of " + name, [&] { queries->QueryInstances(ns, {manager.GetClass(name, context)}); });
    };
    std::string failure = Attempt("collection", [&] { plugin->Collect(); });
    HeldAssociations held;
    if (failure.empty() && writer.NeedsLookahead()) {
        failure = HoldLaterAssociations(manager, classes, writer, held, query);
    }
    {
        const CommitSinkGuard write(manager, [&](const THubInstance& instance) { writer.Write(instance); });
        for (const std::string& name : classes) {
            if (!failure.empty()) break;
            if (held.Holds(name)) {
                failure = Attempt("query of " + name, [&] { held.Replay(name, manager); });
            } else {
                failure = query(name);
            }
        }
    }
    const std::string cleanupFailure = Attempt("cleanup", [&] { plugin->Cleanup(); });
    const std::string destroyFailure = Attempt("destroy", [&] { plugin->Destroy(); });
    manager.UnregisterAll();

    for (const std::string& reason : {failure, cleanupFailure, destroyFailure}) {
        if (!reason.empty()) throw RunFailure(kExitFailed, reason);
    }
}

}  // namespace kvlhost
