// A class of the store: names itself, creates and enumerates instances.
#include <boost/make_shared.hpp>

#include "kvl/hub.h"

namespace NQRXKVL20 {

THubClass::THubClass(TPluginManagerNamespace* ns, const std::string& name)
    : ns_(ns), name_(name) {}

const std::string& THubClass::GetName(TCIMPropertyMap) { return name_; }

boost::shared_ptr<ICIMInstance> THubClass::CreateInstance(TCIMPropertyMap) {
    return boost::make_shared<THubInstance>(ns_, name_, &propertyCount_);
}

void THubClass::EnumerateInstances(const TInstanceCallback& callback, bool, TCIMPropertyMap) {
    ns_->Enumerate(*this, callback);
}

}  // namespace NQRXKVL20
