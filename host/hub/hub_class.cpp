// A class of the store: names itself, creates and enumerates instances.
#include <memory>
#include <vector>

#include <boost/make_shared.hpp>

#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

// More spares than a plug-in holds instances of one class at a time would
// only hold memory.
constexpr std::size_t kMostSpares = 4;

}  // namespace

// Shared by the class and the owners of its instances, which hand each
// instance back when they let go of it, also once the class is gone.
struct THubClass::TSpares {
    std::vector<std::unique_ptr<THubInstance> > instances;
};

THubClass::THubClass(TPluginManagerNamespace* ns, const std::string& name)
    : ns_(ns), name_(name), spares_(boost::make_shared<TSpares>()) {}

const std::string& THubClass::GetName(TCIMPropertyMap) { return name_; }

boost::shared_ptr<ICIMInstance> THubClass::CreateInstance(TCIMPropertyMap) {
    std::unique_ptr<THubInstance> instance;
    if (spares_->instances.empty()) {
        instance = std::make_unique<THubInstance>(ns_, name_, &propertyCount_);
    } else {
        instance = std::move(spares_->instances.back());
        spares_->instances.pop_back();
        instance->Renew(shape_);
    }
    return boost::shared_ptr<THubInstance>(instance.release(), [spares = spares_](THubInstance* released) {
        if (spares->instances.size() < kMostSpares) {
            spares->instances.emplace_back(released);
        } else {
            delete released;
        }
    });
}

void THubClass::EnumerateInstances(const TInstanceCallback& callback, bool, TCIMPropertyMap) {
    ns_->Enumerate(*this, callback);
}

}  // namespace NQRXKVL20
