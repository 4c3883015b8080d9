// Firmware elements: for each Broadcom adapter of the physical list, one
// element for its boot code when its firmware version is known and one for
// its ASF firmware when that is. The device firmware association finds
// them again by "Version", which therefore is a word of the adapter's own
// version text. Requesting this class also logs every physical adapter's
// diagnostic dump.
#include <optional>
#include <string>

#include "provider/firmware_text.h"
#include "provider/instance_builder.h"
#include "provider/pci_chip_id.h"
#include "provider/sections.h"

namespace linkscope::provider {
namespace {

using P = PhysicalNetworkAdapter;

// Where the dumps say they were asked for.
constexpr char kDumpSource[] = "linkscope";
constexpr std::int32_t kDumpLine = 579;

// The host's PCI devices are enumerated at most once per request: the first
// adapter whose own texts name no chip asks, later ones take its answer. A
// machine has as many PCI devices as adapters, so asking per adapter would
// cost adapters times devices.
class PciChipCache {
public:
    explicit PciChipCache(const QueryContext& query) : query_(query) {}
    const std::string& ChipId() {
        if (!chipId_) chipId_ = FindPciChipId(query_.ns);
        return *chipId_;
    }

private:
    const QueryContext& query_;
    std::optional<std::string> chipId_;
};

struct Element {
    const P* adapter;
    std::int32_t position;  // in the physical list, over all adapters
    PciChipCache* pci;
};

TCIMValue ShortVersion(const Element& e) {
    std::string version = e.adapter->GetFirmwareVersion();
    ShortenVersion(version);
    return Text(std::move(version));
}

TCIMValue Position(const Element& e) { return UInt16(e.position); }
TCIMValue Running(const Element&) { return UInt16(2); }
TCIMValue Manufacturer(const Element&) { return Text("Broadcom Corp."); }

// "BASE (MAC)", or the base alone for an adapter without a hardware address.
template <const char* kBase>
TCIMValue NameWithAddress(const Element& e) {
    const std::string mac = e.adapter->GetMacAddress();
    return Text(mac.empty() ? std::string(kBase) : std::string(kBase) + " (" + mac + ")");
}

// The chip the second version text names, else the one the first names,
// else the one the host's PCI devices name, else the lower-cased first
// version text whole.
TCIMValue ChipId(const Element& e) {
    std::string chip = e.adapter->GetSecondFirmwareVersion();
    if (MatchChipId(chip)) return Text(std::move(chip));
    chip = e.adapter->GetFirmwareVersion();
    if (MatchChipId(chip)) return Text(std::move(chip));
    const std::string& fromPci = e.pci->ChipId();
    return Text(fromPci.empty() ? std::move(chip) : fromPci);
}

TCIMValue PciDeviceId(const Element& e) { return Text(e.adapter->GetPCIDeviceID()); }

constexpr char kDeviceName[] = "Broadcom Ethernet Device";
constexpr char kAsfName[] = "Broadcom ASF Firmware";
constexpr char kAsfElementId[] = "KVL Broadcom ASF Firmware";

// The chip is chosen after the first five properties are set, so a PCI
// lookup happens while the element is being built.
const PropertyRow<Element> kMainElementProperties[] = {
    {"Version", ShortVersion},
    {"TargetOperatingSystem", Position},
    {"SoftwareElementState", Running},
    {"Name", NameWithAddress<kDeviceName>},
    {"Manufacturer", Manufacturer},
    {"SoftwareElementID", ChipId},
    {"PCIDeviceID", PciDeviceId},
};

const PropertyRow<Element> kAsfElementProperties[] = {
    {"Version", [](const Element& e) { return Text(e.adapter->GetASFFirmwareVersion()); }},
    {"TargetOperatingSystem", Position},
    {"SoftwareElementState", Running},
    {"Name", NameWithAddress<kAsfName>},
    {"Manufacturer", Manufacturer},
    {"SoftwareElementID", Field<Element>::Constant<kAsfElementId>},
};

}  // namespace

void ServeFirmwareElements(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    PciChipCache pci(query);
    std::int32_t position = 0;
    for (const P* adapter : query.data.adapters->GetPhysicalAdapters()) {
        const Element element{adapter, position++, &pci};
        adapter->Dump(kDumpSource, kDumpLine);
        if (!IsBroadcomDescription(adapter->GetDescription())) continue;
        if (!adapter->GetFirmwareVersion().empty()) BuildInstance(query, element, kMainElementProperties);
        if (!adapter->GetASFFirmwareVersion().empty()) BuildInstance(query, element, kAsfElementProperties);
    }
}

}  // namespace linkscope::provider
