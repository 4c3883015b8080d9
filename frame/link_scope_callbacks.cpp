#include "frame/link_scope_callbacks.h"

#include <boost/pointer_cast.hpp>

#include "collect/adapters_info.h"
#include "collect/network_params.h"
#include "collect/route_info.h"
#include "kvl/hub.h"
#include "platform/platform.h"
#include "provider/linkscope.h"
#include "teams/teams.h"

namespace linkscope {

TLinkScopeCallbacks::TLinkScopeCallbacks() {
    // The manager is reached through its namespace interface; a host whose
    // manager is of another kind fails in its own assertion handler here.
    boost::shared_ptr<NQRXKVL20::TPluginManagerNamespace> manager =
        boost::dynamic_pointer_cast<NQRXKVL20::TPluginManagerNamespace>(NQRXKVL20::TRootObject::GetPluginManager());
    manager->RegisterPlugin(static_cast<NQRXKVL20::IPluginCallbacks*>(this));
}

TLinkScopeCallbacks::~TLinkScopeCallbacks() = default;

void TLinkScopeCallbacks::Collect() {
    Cleanup();

    networkParams_ = new NetworkParams();
    networkParams_->Collect();
    routes_ = new RouteInfo();
    routes_->Collect();
    teams_ = new Teams();
    adapters_ = new AdaptersInfo();
    teams_->Collect(*adapters_);
    adapters_->Collect();
    platform::Current().CollectionFinished();
}

void TLinkScopeCallbacks::Cleanup() {
    delete networkParams_;
    networkParams_ = nullptr;
    delete routes_;
    routes_ = nullptr;
    delete teams_;
    teams_ = nullptr;
    delete adapters_;
    adapters_ = nullptr;
}

void TLinkScopeCallbacks::QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                                         const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes) {
    provider::QueryInstances(ns, classes, provider::CollectedData{networkParams_, adapters_, teams_});
}

}  // namespace linkscope
