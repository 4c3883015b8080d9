// The plug-in object: registers with the host's plug-in manager, reports
// its identity, collects once and answers queries from what it collected.
#pragma once

#include <string>
#include <vector>

#include "kvl/plugin.h"

namespace linkscope {

class NetworkParams;
class AdaptersInfo;
class Teams;
class RouteInfo;

class TLinkScopeCallbacks : public NQRXKVL20::IPluginCallbacks, public NQRXKVL20::IPluginBasicQueryCallbacks {
public:
    // Registers the object with the host's plug-in manager.
    TLinkScopeCallbacks();
    // Destroys the object only; the collected objects go in Cleanup.
    ~TLinkScopeCallbacks() override;

    int GetReserved() override { return 0; }
    std::string GetName() override { return "Link Scope Collector"; }
    std::string GetVersion() override { return "1.0"; }
    std::string GetInterfaceVersion() override { return "1.0"; }
    void Destroy() override { delete this; }
    // Host parameters, routes, teams, then adapters, each stored before the
    // next is made. A second call first cleans up after the first.
    void Collect() override;
    // Deletes the collected objects that exist; safe before any Collect.
    void Cleanup() override;

    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                        const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes) override;

    const NetworkParams* GetNetworkParams() const { return networkParams_; }
    const AdaptersInfo* GetAdaptersInfo() const { return adapters_; }
    const Teams* GetTeams() const { return teams_; }
    const RouteInfo* GetRouteInfo() const { return routes_; }

private:
    NetworkParams* networkParams_ = nullptr;
    AdaptersInfo* adapters_ = nullptr;
    Teams* teams_ = nullptr;
    RouteInfo* routes_ = nullptr;
};

}  // namespace linkscope
