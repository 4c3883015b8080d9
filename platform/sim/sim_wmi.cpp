#include "platform/sim/sim_wmi.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <unordered_map>

namespace linkscope::sim {
namespace {

using platform::WmiValue;

constexpr char kTeamingNamespace[] = "root/IntelNCS";
constexpr char kTeamQuery[] = "SELECT * FROM IANet_TeamOfAdapters";

// The association queries: what follows the object path, and what the
// object on that path answers with.
enum class Shape { kVirtualAdapters, kVlanServices, kVlans, kMembers, kMemberships };
struct QueryShape {
    const char* head;
    const char* tail;
    Shape shape;
};
constexpr QueryShape kShapes[] = {
    {"ASSOCIATORS OF {", "} WHERE AssocClass = IANeT_NetworkVirtualAdapter", Shape::kVirtualAdapters},
    {"ASSOCIATORS OF {", "} WHERE ResultClass = IANeT_802dot1QVLANService", Shape::kVlanServices},
    {"ASSOCIATORS OF {", "} WHERE ResultClass = IANeT_VLAN", Shape::kVlans},
    {"ASSOCIATORS OF {", "} WHERE AssocClass = IANeT_TeamedMemberAdapter", Shape::kMembers},
    {"REFERENCES OF {", "} WHERE ResultClass = IANeT_TeamedMemberAdapter", Shape::kMemberships},
};

// A property value as the system hands it over: texts end at their NUL
// and fit the caller's buffer.
WmiValue Delivered(WmiValue value) {
    if (value.kind == WmiValue::Kind::kText) {
        value.text.erase(std::min({value.text.find('\0'), value.text.size(), platform::kWmiMaxText}));
    }
    return value;
}

class SimObject final : public platform::WmiObject {
public:
    explicit SimObject(const WmiProperties& properties) : properties_(properties) {}
    WmiValue Get(const std::string& property) override {
        for (const auto& [name, value] : properties_) {
            if (name == property) return Delivered(value);
        }
        return {};
    }

private:
    const WmiProperties& properties_;
};

class SimEnumerator final : public platform::WmiEnumerator {
public:
    explicit SimEnumerator(std::vector<const WmiProperties*> objects) : objects_(std::move(objects)) {}
    std::unique_ptr<platform::WmiObject> Next() override {
        if (next_ == objects_.size()) return nullptr;
        return std::make_unique<SimObject>(*objects_[next_++]);
    }

private:
    std::vector<const WmiProperties*> objects_;
    std::size_t next_ = 0;
};

std::string PathOf(const WmiProperties& properties) {
    for (const auto& [name, value] : properties) {
        if (name == "__PATH") return Delivered(value).text;
    }
    return {};
}

template <class Item, class Select>
std::vector<const WmiProperties*> PropertiesOf(const std::vector<Item>& items, Select select) {
    std::vector<const WmiProperties*> list;
    list.reserve(items.size());
    for (const Item& item : items) list.push_back(&select(item));
    return list;
}

// The objects of the provider by path, the first of a path winning.
class SimConnection final : public platform::WmiConnection {
public:
    explicit SimConnection(const TeamingProvider& provider) : provider_(provider) {
        for (const WmiTeam& team : provider.teams) {
            teams_.emplace(PathOf(team.properties), &team);
            for (const WmiVirtualAdapter& adapter : team.virtualAdapters) {
                virtualAdapters_.emplace(PathOf(adapter.properties), &adapter);
                for (const WmiVlanService& service : adapter.vlanServices) {
                    services_.emplace(PathOf(service.properties), &service);
                }
            }
            for (const WmiMember& member : team.members) members_.emplace(PathOf(member.properties), &member);
        }
    }

    platform::WmiQueryAnswer ExecQuery(const std::string& query) override {
        if (query == kTeamQuery) {
            if (provider_.teamQueryResult < 0) return {provider_.teamQueryResult, nullptr};
            return Answer(PropertiesOf(provider_.teams, [](const WmiTeam& t) -> auto& { return t.properties; }));
        }
        for (const QueryShape& shape : kShapes) {
            const std::string_view text(query);
            const std::size_t head = std::string_view(shape.head).size();
            const std::size_t tail = std::string_view(shape.tail).size();
            if (text.size() < head + tail || text.substr(0, head) != shape.head ||
                text.substr(text.size() - tail) != shape.tail) {
                continue;
            }
            return Associated(shape.shape, std::string(text.substr(head, text.size() - head - tail)));
        }
        return {platform::kWmiInvalidQuery, nullptr};
    }

private:
    static platform::WmiQueryAnswer Answer(std::vector<const WmiProperties*> objects) {
        return {platform::kWmiOk, std::make_unique<SimEnumerator>(std::move(objects))};
    }

    template <class Object>
    static const Object* Find(const std::unordered_map<std::string, const Object*>& index, const std::string& path) {
        const auto found = index.find(path);
        return found == index.end() ? nullptr : found->second;
    }

    platform::WmiQueryAnswer Associated(Shape shape, const std::string& path) const {
        const auto properties = [](const auto& item) -> const WmiProperties& {
            if constexpr (std::is_same_v<std::decay_t<decltype(item)>, WmiProperties>) {
                return item;
            } else {
                return item.properties;
            }
        };
        switch (shape) {
            case Shape::kVirtualAdapters:
            case Shape::kMembers: {
                const WmiTeam* team = Find(teams_, path);
                if (!team) return {platform::kWmiNotFound, nullptr};
                if (shape == Shape::kVirtualAdapters) {
                    if (team->virtualAdapterQueryResult < 0) return {team->virtualAdapterQueryResult, nullptr};
                    return Answer(PropertiesOf(team->virtualAdapters, properties));
                }
                if (team->memberQueryResult < 0) return {team->memberQueryResult, nullptr};
                return Answer(PropertiesOf(team->members, properties));
            }
            case Shape::kVlanServices: {
                const WmiVirtualAdapter* adapter = Find(virtualAdapters_, path);
                if (!adapter) return {platform::kWmiNotFound, nullptr};
                if (adapter->vlanServiceQueryResult < 0) return {adapter->vlanServiceQueryResult, nullptr};
                return Answer(PropertiesOf(adapter->vlanServices, properties));
            }
            case Shape::kVlans: {
                const WmiVlanService* service = Find(services_, path);
                if (!service) return {platform::kWmiNotFound, nullptr};
                if (service->vlanQueryResult < 0) return {service->vlanQueryResult, nullptr};
                return Answer(PropertiesOf(service->vlans, properties));
            }
            case Shape::kMemberships: {
                const WmiMember* member = Find(members_, path);
                if (!member) return {platform::kWmiNotFound, nullptr};
                if (member->membershipQueryResult < 0) return {member->membershipQueryResult, nullptr};
                return Answer(PropertiesOf(member->memberships, properties));
            }
        }
        return {platform::kWmiNotFound, nullptr};
    }

    const TeamingProvider& provider_;
    std::unordered_map<std::string, const WmiTeam*> teams_;
    std::unordered_map<std::string, const WmiVirtualAdapter*> virtualAdapters_;
    std::unordered_map<std::string, const WmiVlanService*> services_;
    std::unordered_map<std::string, const WmiMember*> members_;
};

class SimLocator final : public platform::WmiLocator {
public:
    explicit SimLocator(const TeamingProvider& provider) : provider_(provider) {}

    platform::WmiConnectAnswer ConnectServer(const std::string& wmiNamespace) override {
        if (wmiNamespace != kTeamingNamespace) {
            return {platform::kWmiInvalidNamespace, nullptr, std::string(platform::kInvalidNamespaceText)};
        }
        if (provider_.connectResult != platform::kWmiOk) {
            return {provider_.connectResult, nullptr, provider_.statusText};
        }
        return {platform::kWmiOk, std::make_unique<SimConnection>(provider_), std::nullopt};
    }

private:
    const TeamingProvider& provider_;
};

}  // namespace

std::unique_ptr<platform::WmiLocator> SimWmi::CreateLocator() {
    if (!machine_->teamingProvider) return std::make_unique<platform::NamespaceMissingLocator>();
    if (!machine_->teamingProvider->locator) return nullptr;
    return std::make_unique<SimLocator>(*machine_->teamingProvider);
}

}  // namespace linkscope::sim
