// Firmware version texts, and the chip that the host's PCI devices name for
// a firmware element. The elements of collected Broadcom adapters, their
// device firmware links and the adapter dumps are pinned end to end by the
// machine inventory test and its golden files.
#include <gtest/gtest.h>

#include "provider/firmware_text.h"
#include "provider/hub_fixture.h"
#include "support/status_of.h"

namespace linkscope::testing {
namespace {

using NQRXKVL20::TCIMPropertyMap;

const char kElement[] = "QRXSG_BcmDeviceFirmwareElement";

TEST(FirmwareText, VersionsChipsAndBroadcomDescriptions) {
    // A chip id for `chip` means MatchChipId found it; anything else is the
    // text lower-cased, with the answer false.
    const struct {
        std::string text, shortened, chip;
        bool chipNamed;
    } kVersions[] = {
        {"5722-3.05", "3.05", "5722", true},
        {"3.05", "3.05", "3.05", false},
        {"1.2 - 3", "3", "1.2 - 3", false},
        {" 3.05", " 3.05", " 3.05", false},  // one piece: the blank stays
        {"- -", "- -", "- -", false},
        {"", "", "", false},
        {"BCM5704S A2", "A2", "5704s", true},  // before 5704
        {"BCM5703", "BCM5703", "5703", true},
        {"NetXtreme 57711E", "57711E", "57711", true},
        {"5780S-1", "1", "5780s", true},
        {"Boot 7.2A", "7.2A", "boot 7.2a", false},
        {"57710\xC9", "57710\xC9", "57710", true},
        {"B\xC9", "B\xC9", "b\xC9", false},  // bytes beyond ASCII stay
    };
    for (const auto& c : kVersions) {
        SCOPED_TRACE(c.text);
        std::string shortened = c.text;
        const bool shortenedAnswer = provider::ShortenVersion(shortened);
        EXPECT_EQ(shortened, c.shortened);
        EXPECT_EQ(shortenedAnswer, c.shortened != c.text);
        std::string chip = c.text;
        const bool chipAnswer = provider::MatchChipId(chip);
        EXPECT_EQ(chip, c.chip);
        EXPECT_EQ(chipAnswer, c.chipNamed);
    }
    const std::pair<const char*, bool> kDescriptions[] = {
        {"Broadcom NetXtreme Gigabit", true}, {"NetXtreme BCM5709C", true}, {"bcm", true},
        {"BROADCOM", true},                   {"Intel PRO/1000", false},     {"Broad com B-C-M", false},
    };
    for (const auto& [description, broadcom] : kDescriptions) {
        EXPECT_EQ(provider::IsBroadcomDescription(description), broadcom) << description;
    }
}

class FirmwareElements : public HubFixture {
protected:
    PhysicalNetworkAdapter* Add(const std::string& description, const std::string& firmware, const std::string& second,
                                const std::string& asf) {
        ++count_;
        PhysicalNetworkAdapter* adapter = AddRecord("dev" + std::to_string(count_), count_);
        adapter->SetDescription(description);
        adapter->SetFirmwareVersion(firmware);
        adapter->SetSecondFirmwareVersion(second);
        adapter->SetPCIDeviceID("165" + std::to_string(count_));
        adapter->SetASFFirmwareVersion(asf);
        return adapter;
    }
    int count_ = 0;
};

// The host's PCI devices, as another provider serves them, name the chip
// of an adapter whose own texts name none; the firmware goldens pin the
// last naming device winning and a host without PCI devices.
TEST_F(FirmwareElements, ChipOfAPciDeviceElseTheLowerCasedVersionOrTheLookupsFailure) {
    using Device = TCIMPropertyMap;
    const auto id = [](unsigned short n) { return TCIMValue(n); };
    const TCIMValue none("Standard SATA AHCI Controller");
    const struct {
        const char* name;
        std::vector<Device> devices;
        NQRXKVL20::TKVLStatusCode lookupStatus;
        std::string chip;  // or the status the query ends with
    } kCases[] = {
        {"no device names a chip", {{{"PciDeviceID", id(7682)}, {"Description", none}}}, 0, "boot 7.2a|7.2"},
        {"list order before id or description",
         {{{"PciDeviceID", TCIMValue("5704")}, {"Description", TCIMValue("BCM5703S")}}}, 0, "5703s|5703s"},
        {"another lookup failure ends the query", {}, NQRXKVL20::kKVLStatusNotFound, "status 6"},
        {"a device without a description", {{{"PciDeviceID", id(0x1659)}}}, 0, "status 30"},
    };
    Add("Broadcom NetXtreme", "Boot 7.2A", "", "");
    Add("Broadcom NetXtreme", "7.2", "NetXtreme", "");  // the same answer for the second
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        manager_ = boost::make_shared<NQRXKVL20::TPluginManagerNamespace>();
        manager_->RegisterPlugin(&plugin_);
        manager_->DefineClass("QRXSG_PCIDevice", {"DeviceID"});
        for (size_t i = 0; i < c.devices.size(); ++i) {
            Device device = c.devices[i];
            device["DeviceID"] = TCIMValue("PCI\\" + std::to_string(i));
            manager_->AddStaticInstance("QRXSG_PCIDevice", device);
        }
        if (c.lookupStatus) manager_->SetLookupStatus("QRXSG_PCIDevice", c.lookupStatus);
        std::string chips;
        const auto status = StatusOf([&] {
            for (const auto& element : Query({kElement})) {
                chips += (chips.empty() ? "" : "|") + element->GetProperty("SoftwareElementID", {})->GetValue({}).ToString();
            }
        });
        EXPECT_EQ(status == kNothingThrown ? chips : "status " + std::to_string(status), c.chip);
    }
}

// The elements are laid out as another provider's instances, in the order
// the test needs; the plug-in serves everything else. Each link is shown as
// "PORT > ELEMENT": the port's DeviceID and the element's Name.
TEST_F(FirmwareElements, DeviceFirmwareHandsOutTheFirstElementWhoseVersionOccursAndThatNoEarlierAdapterGot) {
    plugin_.left = kElement;
    Add("Broadcom NetXtreme", "3.38", "", "");
    Add("Broadcom NetXtreme", "3.38", "", "2.0");
    Add("Intel PRO/1000", "3.38", "", "2.0");                 // not Broadcom
    Add("Broadcom", "3.38", "", "2.0")->SetDeviceID("sit1");  // no port: E5 is left for dev5
    AddRecord("", 9)->SetDescription("Display adapter");      // its port's empty DeviceID occurs in every one
    Add("BCM5709", "5722-3.38", "", "2.0");                   // after the empty port: linked to it
    Add("Broadcom", "9.9", "", "")->SetDeviceID("dev10");     // dev1's port comes first
    const std::pair<const char*, const char*> elements[] = {
        {"E1", "3.38"}, {"E2", "2.0"}, {"E3", "3.38"},
        {"E1", "3.38"},  // the same path as the first: handed out with it
        {"E5", ""},      // occurs in every text, the empty ASF version too
        {"E6", "9.9"},
    };
    for (const auto& [name, version] : elements) {
        manager_->AddStaticInstance(kElement, TCIMPropertyMap{{"Name", TCIMValue(name)}, {"Version", TCIMValue(version)}});
    }
    const auto label = [](const std::string& path, const std::string& key) {
        const auto at = path.find(key) + key.size();
        return path.substr(at, path.find('"', at) - at);
    };
    Texts links;
    for (const auto& link : Query({"QRXSG_BcmDeviceFirmware"})) {
        links.push_back(label(Column({link}, "Dependent")[0], ",DeviceID=\"") + " > " +
                        label(Column({link}, "Antecedent")[0], ".Name=\""));
    }
    EXPECT_EQ(links, (Texts{"dev1 > E1", "dev1 > E5", "dev2 > E3", "dev2 > E2", " > E5", "dev1 > E6"}));
}

}  // namespace
}  // namespace linkscope::testing
