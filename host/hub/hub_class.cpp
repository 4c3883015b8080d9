// A class of the store: names itself, creates and enumerates instances.
#include <memory>
#include <vector>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>

#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

// More spares than a plug-in holds instances of one class at a time would
// only hold memory.
constexpr std::size_t kMostSpares = 4;

}  // namespace

// Owned by the class; the owners of its instances hand each instance back
// when they let go of it, while the class lives.
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
    // The owners hold the spares weakly: a spare's own weak pointer to
    // itself keeps its last owners' count, and with it this deleter, alive.
    return boost::shared_ptr<THubInstance>(
        instance.release(), [weakSpares = boost::weak_ptr<TSpares>(spares_)](THubInstance* released) {
            const boost::shared_ptr<TSpares> spares = weakSpares.lock();
            if (spares && spares->instances.size() < kMostSpares) {
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
