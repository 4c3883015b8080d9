// Device firmware associations: each Broadcom adapter's physical port to
// the firmware elements of its boot code and of its ASF firmware. The ends
// are enumerated through the host, so the answer does not depend on what
// was queried before. A port is the first one enumerated whose "DeviceID"
// occurs within the adapter's; an element is the first one enumerated
// whose "Version" occurs within the adapter's version text and that no
// earlier adapter of the request was given in the same pass, so adapters
// with equal versions get distinct elements. Elements are told apart by
// their object paths only.
#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "provider/class_names.h"
#include "provider/contained_keys.h"
#include "provider/dependency.h"
#include "provider/firmware_text.h"
#include "provider/instance_builder.h"
#include "provider/sections.h"

namespace linkscope::provider {
namespace {

using NQRXKVL20::ICIMInstance;
using NQRXKVL20::TCIMPropertyMap;
using P = PhysicalNetworkAdapter;

// The instances of a class the host holds, found by a key text that
// occurs within a given text. Each instance is indexed as the host hands it
// over and let go at once, keeping only its path.
class EnumeratedEnds {
public:
    // Whether instances with equal object paths are one for the used lists
    // (the elements) or every instance counts on its own (the ports, which
    // are never handed out).
    enum class Identity { kEachInstance, kObjectPath };

    // Without `enumerate`, the class is only looked up (failing as for an
    // enumeration) and nothing is found.
    EnumeratedEnds(const QueryContext& query, const char* className, const char* keyProperty, Identity identity,
                   bool enumerate = true) {
        const boost::shared_ptr<NQRXKVL20::ICIMClass> cls = query.ns->GetClass(className, query.lookupContext);
        if (!enumerate) return;
        const auto add = [&](boost::shared_ptr<ICIMInstance> instance) {
            const std::string key = instance->GetProperty(keyProperty, TCIMPropertyMap())->GetValue(TCIMPropertyMap());
            keys_.Append(key, IdentityOf(instance->GetReference(TCIMPropertyMap()), identity));
            return true;
        };
        cls->EnumerateInstances(NQRXKVL20::TInstanceCallback(add), true, TCIMPropertyMap());
    }

    const TCIMValue* FirstWithin(const std::string& text) const { return PathOf(keys_.FirstWithin(text)); }
    ContainedKeys::UsedList NewUsedList() const { return keys_.NewUsedList(); }
    const TCIMValue* TakeFirstWithin(const std::string& text, ContainedKeys::UsedList& used) const {
        return PathOf(keys_.TakeFirstWithin(text, used));
    }

private:
    std::uint32_t IdentityOf(TCIMValue path, Identity identity) {
        const auto next = static_cast<std::uint32_t>(paths_.size());
        if (identity == Identity::kObjectPath) {
            const auto found = identities_.find(path.AsReference().ToString());
            if (found != identities_.end()) return found->second;
        }
        paths_.push_back(std::move(path));
        // The text lives in the reference's shared data, which every copy
        // and move of the value keeps.
        if (identity == Identity::kObjectPath) identities_.emplace(paths_.back().AsReference().ToString(), next);
        return next;
    }
    const TCIMValue* PathOf(std::size_t item) const {
        return item == ContainedKeys::kNone ? nullptr : &paths_[keys_.IdentityOf(item)];
    }

    ContainedKeys keys_;
    std::vector<TCIMValue> paths_;  // by identity
    std::unordered_map<std::string_view, std::uint32_t> identities_;  // path text → identity
};

}  // namespace

void ServeDeviceFirmware(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    using Identity = EnumeratedEnds::Identity;
    const std::vector<P*>& adapters = query.data.adapters->GetPhysicalAdapters();
    // The ports are built only when a Broadcom adapter may need one; the
    // elements always are, as their request logs the adapters' records.
    const bool anyBroadcom = std::any_of(adapters.begin(), adapters.end(),
                                         [](const P* adapter) { return IsBroadcomDescription(adapter->GetDescription()); });
    const EnumeratedEnds ports(query, kPhysicalPortClass, "DeviceID", Identity::kEachInstance, anyBroadcom);
    const EnumeratedEnds elements(query, kFirmwareElementClass, "Version", Identity::kObjectPath);
    ContainedKeys::UsedList mainUsed = elements.NewUsedList();
    ContainedKeys::UsedList asfUsed = elements.NewUsedList();

    for (const P* adapter : adapters) {
        if (!IsBroadcomDescription(adapter->GetDescription())) continue;
        const TCIMValue* port = ports.FirstWithin(adapter->GetDeviceID());
        if (port == nullptr) continue;
        if (const TCIMValue* main = elements.TakeFirstWithin(adapter->GetFirmwareVersion(), mainUsed)) {
            BuildInstance(query, Dependency{port, main}, kDependencyProperties);  // the port depends on its firmware
        }
        if (const TCIMValue* asf = elements.TakeFirstWithin(adapter->GetASFFirmwareVersion(), asfUsed)) {
            BuildInstance(query, Dependency{port, asf}, kDependencyProperties);
        }
    }
}

}  // namespace linkscope::provider
