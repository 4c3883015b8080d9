// Enumeration of the operating system's adapters into the container.
//
// Decisions where the operating system's answers are incomplete:
//  - an adapter whose index has no interface-information pair gets an empty
//    device name; one whose index has no interface-table row gets MTU 0 and
//    keeps its enabled state;
//  - a failed per-adapter query offers no DNS servers and leaves both
//    autoconfiguration flags false;
//  - when the IPv6 query cannot be resolved on this system, the IPv6 step
//    is skipped.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "collect/adapter_finder.h"
#include "collect/adapters_info.h"
#include "collect/address_text.h"
#include "collect/device_scanner.h"
#include "collect/link_codes.h"
#include "collect/log.h"
#include "platform/platform.h"
#include "platform/position_index.h"

namespace linkscope {
namespace {

template <class T>
CimValueList AsCimStrings(const std::vector<T>& items, std::string (*text)(const T&)) {
    CimValueList values;
    values.reserve(items.size());
    for (const T& item : items) values.emplace_back(text(item));
    return values;
}

std::string AddressOf(const platform::IpAddressString& entry) { return entry.address; }
std::string Itself(const std::string& text) { return text; }

// The first element with each interface index, as a search from the start
// of the list finds it. Open addressing over a power-of-two table of
// pointers: one probe of adjacent slots per look-up.
template <class T>
class FirstByIndex {
public:
    explicit FirstByIndex(const std::vector<T>& items) {
        std::size_t size = 16;
        while (size < 2 * items.size()) size *= 2;
        slots_.assign(size, nullptr);
        for (const T& item : items) {
            const T*& slot = slots_[Position(item.index)];
            if (slot == nullptr) slot = &item;
        }
    }

    // Null when no element has `index`.
    const T* Find(std::uint32_t index) const { return slots_[Position(index)]; }

private:
    // The slot holding `index`, or the empty one where it would go.
    std::size_t Position(std::uint32_t index) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = (index * 0x9E3779B97F4A7C15ull) >> 32 & mask;
        while (slots_[at] != nullptr && slots_[at]->index != index) at = (at + 1) & mask;
        return at;
    }

    std::vector<const T*> slots_;
};

// The first unicast IPv6 address of each adapter, asked of the platform
// once and kept for every adapter of the run.
class Ipv6Addresses {
public:
    explicit Ipv6Addresses(platform::IpHelperApi& ipHelper) : ipHelper_(ipHelper) {
        const platform::OsVersionAnswer version = ipHelper.GetVersion();
        wanted_ = !(version.ok && version.major == 5 && version.minor == 0);
    }

    // Notes that `record` is to have the address texts of the adapter
    // `adapterName`, unless the lists are to stay as they are. A record
    // bound many times (an answer that lists one adapter many times, under
    // names that alternate) keeps the texts of its last binding only;
    // building them at every binding would cost the length of a whole chain
    // each time.
    void AssignTo(NetworkAdapter& record, const std::string& adapterName) {
        if (!wanted_) return;
        if (!answer_) Load();
        if (!answer_->resolved || answer_->result != platform::kSuccess) return;
        chainOf_[&record] = firstByAdapter_.Find(adapterName, AdapterNameOf{&answer_->entries});
    }

    // Gives every record noted the texts of its chain, once.
    void Give() {
        for (const auto& [record, first] : chainOf_) {
            TextList texts;
            for (std::size_t at = first; at != kNone; at = nextSameAdapter_[at]) {
                texts.push_back(Ipv6Text(answer_->entries[at].firstUnicast));
            }
            record->SetIPv6AddressList(std::move(texts));
        }
    }

private:
    static constexpr std::size_t kNone = PositionIndex::npos;  // no entry; also what a failed look-up gives

    struct AdapterNameOf {
        const std::vector<platform::Ipv6Entry>* entries;
        std::string_view operator()(std::size_t at) const { return (*entries)[at].adapterName; }
    };

    // Chains the entries with a unicast address by adapter name, in answer
    // order; the names are read in the kept answer.
    void Load() {
        answer_ = ipHelper_.GetAdaptersAddressesIPv6();
        const std::vector<platform::Ipv6Entry>& entries = answer_->entries;
        nextSameAdapter_.assign(entries.size(), kNone);
        std::vector<std::size_t> lastOfChain(entries.size(), kNone);  // by the chain's first entry
        firstByAdapter_ = PositionIndex(entries.size());
        for (std::size_t at = 0; at < entries.size(); ++at) {
            if (!entries[at].hasUnicast) continue;
            const auto [first, added] = firstByAdapter_.Emplace(entries[at].adapterName, at, AdapterNameOf{&entries});
            if (!added) nextSameAdapter_[lastOfChain[first]] = at;
            lastOfChain[first] = at;
        }
    }

    platform::IpHelperApi& ipHelper_;
    bool wanted_ = true;
    std::optional<platform::Ipv6Answer> answer_;
    PositionIndex firstByAdapter_;
    std::vector<std::size_t> nextSameAdapter_;
    // The chain (its first entry, or kNone for none) each record is to have.
    std::unordered_map<NetworkAdapter*, std::size_t> chainOf_;
};

struct EnumerationContext {
    AdaptersInfo& adapters;
    platform::IpHelperApi& ipHelper;
    AdapterFinder finder;
    NetworkDeviceScanner& scanner;
    FirstByIndex<platform::InterfacePair> pairs;
    FirstByIndex<platform::InterfaceRow> rows;
    Ipv6Addresses ipv6;
};

// Takes the entry by value: its texts move into the record, and the rest is
// freed while still in cache.
void CollectAdapter(EnumerationContext& context, platform::AdapterEntry entry) {
    const platform::InterfacePair* pair = context.pairs.Find(entry.index);
    const std::string deviceName = pair == nullptr ? std::string() : pair->name;
    const std::string macAddress = BareHardwareAddress(entry.hardwareAddress);

    std::unique_ptr<NetworkAdapter> created;
    NetworkAdapter* record = context.finder.Find(macAddress, deviceName, entry.description);
    if (record == nullptr) {
        created = std::make_unique<NetworkAdapter>();
        record = created.get();
    }

    record->SetDeviceID(deviceName);
    record->SetName(entry.adapterName);
    record->SetMacAddress(macAddress);
    record->SetPermanentAddress(ColonHardwareAddress(entry.hardwareAddress));
    record->SetDescription(entry.description);
    record->SetOtherIdentifyingInfo(std::move(entry.description));
    if (!created) context.finder.KeysChanged(record);

    if (record->GetLinkTechnology() == 0) record->SetLinkTechnology(LinkTechnologyOfInterfaceType(entry.type));
    record->SetNetworkAddresses({NQRXKVL20::TCIMValue(record->GetPermanentAddress())});
    record->SetGatewayList(AsCimStrings(entry.gateways, &AddressOf));
    if (entry.dhcpEnabled != 0) {
        record->SetDhcpEnabled(true);
        record->SetDhcpServer(std::move(entry.dhcpServer));
    } else {
        record->SetDhcpEnabled(false);
    }
    if (entry.haveWins != 0) {
        record->SetHaveWins(true);
        record->SetPrimaryWinsServer(std::move(entry.primaryWinsServer));
        record->SetSecondaryWinsServer(std::move(entry.secondaryWinsServer));
    } else {
        record->SetHaveWins(false);
    }
    record->SetPortNumber(static_cast<std::int32_t>(entry.index));

    const platform::PerAdapterAnswer perAdapter = context.ipHelper.GetPerAdapterInfo(entry.index);
    if (perAdapter.result == platform::kSuccess) {
        // Kept only by records whose state a team collector already set.
        record->SetDnsServers(AsCimStrings(perAdapter.dnsServers, &Itself));
        record->SetAutoConfigEnabled(perAdapter.autoconfigEnabled != 0);
        record->SetAutoConfigActive(perAdapter.autoconfigActive != 0);
    } else {
        record->SetAutoConfigEnabled(false);
        record->SetAutoConfigActive(false);
    }

    const platform::InterfaceRow* row = context.rows.Find(entry.index);
    record->SetActiveMaximumTransmissionUnit(row ? static_cast<std::int32_t>(row->mtu) : 0);
    record->SetDriverLoaded(true);
    if (record->GetEnabledState() == 0 && row) record->SetEnabledState(EnabledStateOfOperStatus(row->operStatus));

    TextList ipv4;
    ipv4.reserve(entry.ipAddresses.size());
    for (const platform::IpAddressString& address : entry.ipAddresses) {
        ipv4.push_back(address.address + "/" + NetworkAdapter::MaskToPrefixLength(address.mask));
    }
    record->SetIPv4AddressList(std::move(ipv4));

    context.scanner.Complete(*record);

    if (created) {
        auto* physical = new PhysicalNetworkAdapter(std::move(*created));
        context.adapters.AddPhysicalAdapter(physical);
        context.finder.PhysicalAppended(physical);
        record = physical;
    }
    // Once the record is the one the list keeps: the texts are noted by record.
    context.ipv6.AssignTo(*record, entry.adapterName);
}

}  // namespace

void AdaptersInfo::Collect() {
    platform::IpHelperApi& ipHelper = platform::Current().IpHelper();
    NetworkDeviceScanner scanner(*this);

    platform::AdaptersAnswer adapters = ipHelper.GetAdaptersInfo();
    if (adapters.result != platform::kSuccess) {
        scanner.AddMissing();
        Log(kLogFailure, "No Network Adapters Found.");
        return;
    }
    const platform::InterfacePairsAnswer pairs = ipHelper.GetInterfaceInfo();
    if (pairs.result != platform::kSuccess) {
        Log(kLogFailure, "No Network Interface Information Found.");
        return;
    }
    const platform::InterfaceTableAnswer table = ipHelper.GetIfTable();
    if (table.result != platform::kSuccess) {
        Log(kLogFailure, "Unable to retrieve MIB-II Interface Table");
        return;
    }

    const platform::AdapterIdentity identity = platform::Current().AdaptersIdentifiedBy();
    // Only the hardware-address rule binds by description.
    std::vector<std::string_view> descriptions;
    if (identity == platform::AdapterIdentity::kHardwareAddress) {
        descriptions.reserve(adapters.adapters.size());
        for (const platform::AdapterEntry& entry : adapters.adapters) descriptions.emplace_back(entry.description);
    }
    EnumerationContext context{*this,
                               ipHelper,
                               AdapterFinder(*this, identity, descriptions, adapters.adapters.size()),
                               scanner,
                               FirstByIndex(pairs.pairs),
                               FirstByIndex(table.rows),
                               Ipv6Addresses(ipHelper)};
    for (platform::AdapterEntry& entry : adapters.adapters) CollectAdapter(context, std::move(entry));
    context.ipv6.Give();

    scanner.AddMissing();
}

}  // namespace linkscope
