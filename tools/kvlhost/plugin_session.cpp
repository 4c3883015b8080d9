#include "plugin_session.h"

#include <exception>

#include "failure.h"
#include "kvl/core.h"
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

}  // namespace

InstanceList RunPluginSession(TPluginManagerNamespace& manager, const std::string& path,
                              const std::vector<std::string>& classes) {
    const std::string loadError = LoadLibraryNow(path);
    if (!loadError.empty()) {
        throw RunFailure(kExitFailed, "cannot load the plug-in " + path + ": " + loadError);
    }
    if (manager.Plugins().empty()) throw RunFailure(kExitFailed, "the plug-in did not register");
    IPluginCallbacks* plugin = manager.Plugins().front();
    auto* queries = dynamic_cast<IPluginBasicQueryCallbacks*>(plugin);
    if (queries == nullptr) throw RunFailure(kExitFailed, "the plug-in does not answer queries");

    const boost::shared_ptr<ICIMNamespace> ns = manager.shared_from_this();
    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);

    std::string failure = Attempt("collection", [&] { plugin->Collect(); });
    for (const std::string& name : classes) {
        if (!failure.empty()) break;
        failure = Attempt("query of " + name, [&] {
            queries->QueryInstances(ns, {manager.GetClass(name, context)});
        });
    }
    const std::string cleanupFailure = Attempt("cleanup", [&] { plugin->Cleanup(); });
    const std::string destroyFailure = Attempt("destroy", [&] { plugin->Destroy(); });
    manager.UnregisterAll();

    for (const std::string& reason : {failure, cleanupFailure, destroyFailure}) {
        if (!reason.empty()) throw RunFailure(kExitFailed, reason);
    }
    InstanceList committed = manager.Committed();
    manager.ClearCommitted();
    return committed;
}

}  // namespace kvlhost
