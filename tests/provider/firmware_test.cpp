// Firmware elements and device firmware associations over hand-built
// adapter records, served through the stand-in host. The elements of
// collected Broadcom adapters, and answers that do not depend on what was
// queried before, are pinned end to end by the machine inventory test.
#include <gtest/gtest.h>

#include <map>

#include "kvl/root.h"
#include "provider/firmware_text.h"
#include "provider/hub_fixture.h"
#include "support/status_of.h"

namespace linkscope::testing {
namespace {

using NQRXKVL20::TCIMPropertyMap;

const char kElement[] = "QRXSG_BcmDeviceFirmwareElement";
const char kDeviceFirmware[] = "QRXSG_BcmDeviceFirmware";

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
    const struct {
        const char* description;
        bool broadcom;
    } kDescriptions[] = {
        {"Broadcom NetXtreme Gigabit", true}, {"NetXtreme BCM5709C", true}, {"bcm", true},
        {"BROADCOM", true},                   {"Intel PRO/1000", false},     {"Broad com B-C-M", false},
    };
    for (const auto& c : kDescriptions) EXPECT_EQ(provider::IsBroadcomDescription(c.description), c.broadcom) << c.description;
}

class FirmwareElements : public HubFixture {
protected:
    PhysicalNetworkAdapter* Add(const std::string& description, const std::string& mac, const std::string& firmware,
                                const std::string& second, const std::string& asf) {
        ++count_;
        PhysicalNetworkAdapter* adapter = AddPhysical("dev" + std::to_string(count_), count_);
        adapter->SetDescription(description);
        adapter->SetMacAddress(mac);
        adapter->SetFirmwareVersion(firmware);
        adapter->SetSecondFirmwareVersion(second);
        adapter->SetPCIDeviceID("165" + std::to_string(count_));
        adapter->SetASFFirmwareVersion(asf);
        return adapter;
    }
    // Every element as one line of its properties, in the order set.
    Texts Elements() {
        Texts lines;
        for (const auto& element : Query({kElement})) {
            std::string line;
            for (const auto& [name, value] : element->Properties()) line += (line.empty() ? "" : "|") + value.ToString();
            lines.push_back(line);
        }
        return lines;
    }
    int count_ = 0;
};

TEST_F(FirmwareElements, BroadcomAdaptersYieldTheirMainAndAsfElementsAndEveryAdapterIsDumped) {
    Add("Intel PRO/1000", "0001", "5722-3.05", "", "1.0");
    Add("Realtek", "0002", "", "", "");
    Add("Broadcom NetXtreme", "00AA", "5722-3.05", "", "");
    Add("NetXtreme BCM5708C", "", "1.2 - 3", "BCM5704S", "2.1");
    Add("broadcom", "00CC", "", "5703", "v2");  // ASF only
    Add("Broadcom", "00DD", "- -", "BCM5703", "");
    NQRXKVL20::TRootObject::CoreLogger().Clear();

    EXPECT_EQ(Elements(), (Texts{
                              "3.05|2|2|Broadcom Ethernet Device (00AA)|Broadcom Corp.|5722|1653",
                              "3|3|2|Broadcom Ethernet Device|Broadcom Corp.|5704s|1654",
                              "2.1|3|2|Broadcom ASF Firmware|Broadcom Corp.|KVL Broadcom ASF Firmware",
                              "v2|4|2|Broadcom ASF Firmware (00CC)|Broadcom Corp.|KVL Broadcom ASF Firmware",
                              "- -|5|2|Broadcom Ethernet Device (00DD)|Broadcom Corp.|5703|1656",
                          }));
    const auto dumps = LoggedAt(3);
    ASSERT_EQ(dumps.size(), 6u);
    for (size_t i = 0; i < dumps.size(); ++i) {
        EXPECT_EQ(dumps[i].rfind("Called from: linkscope:579\nDeviceID      : dev" + std::to_string(i + 1) + "\n", 0), 0u)
            << dumps[i];
    }
    const auto element = Query({kElement}).front();
    Texts names;
    for (const auto& [name, value] : element->Properties()) names.push_back(*name + ":" + std::to_string(value.GetType()));
    EXPECT_EQ(names, (Texts{"Version:10", "TargetOperatingSystem:4", "SoftwareElementState:4", "Name:10",
                            "Manufacturer:10", "SoftwareElementID:10", "PCIDeviceID:10"}));
}

// The host's PCI devices, as another provider serves them, name the chip
// of an adapter whose own texts name none.
TEST_F(FirmwareElements, ChipOfTheLastPciDeviceThatNamesOneElseTheLowerCasedVersion) {
    using Device = TCIMPropertyMap;
    const auto id = [](unsigned short n) { return TCIMValue(n); };
    const TCIMValue none("Standard SATA AHCI Controller");
    const struct {
        const char* name;
        bool classKnown;
        std::vector<Device> devices;
        NQRXKVL20::TKVLStatusCode lookupStatus;
        std::string chip;  // or the status the query ends with
    } kCases[] = {
        {"no PCI provider", false, {}, 0, "boot 7.2a|7.2"},
        {"no device names a chip", true, {{{"PciDeviceID", id(7682)}, {"Description", none}}}, 0, "boot 7.2a|7.2"},
        {"device id 0x1659 reads 5721", true, {{{"PciDeviceID", id(0x1659)}, {"Description", none}}}, 0, "5721|5721"},
        {"the later device wins", true,
         {{{"PciDeviceID", id(0x1659)}, {"Description", none}},
          {{"PciDeviceID", id(7682)}, {"Description", TCIMValue("NetXtreme BCM5752 Gigabit")}},
          {{"PciDeviceID", id(7682)}, {"Description", none}}},
         0, "5752|5752"},
        {"list order before id or description", true,
         {{{"PciDeviceID", TCIMValue("5704")}, {"Description", TCIMValue("BCM5703S")}}}, 0, "5703s|5703s"},
        {"another lookup failure ends the query", true, {}, NQRXKVL20::kKVLStatusNotFound, "status 6"},
        {"a device without a description", true, {{{"PciDeviceID", id(0x1659)}}}, 0, "status 30"},
    };
    Add("Broadcom NetXtreme", "", "Boot 7.2A", "", "");
    Add("Broadcom NetXtreme", "", "7.2", "NetXtreme", "");  // the same answer for the second
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        manager_ = boost::make_shared<NQRXKVL20::TPluginManagerNamespace>();
        manager_->RegisterPlugin(&plugin_);
        if (c.classKnown) manager_->DefineClass("QRXSG_PCIDevice", {"DeviceID"});
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

// Serves everything but the firmware elements, which each test lays out
// as instances of another provider, in the order it needs.
class DeviceFirmware : public FirmwareElements {
protected:
    DeviceFirmware() {
        manager_->UnregisterAll();
        manager_->RegisterPlugin(&withoutElements_);
    }
    void AddElement(const std::string& name, const std::string& version) {
        manager_->AddStaticInstance(kElement, TCIMPropertyMap{{"Name", TCIMValue(name)}, {"Version", TCIMValue(version)}});
    }
    // Each link as "PORT > ELEMENT": the port's DeviceID ("''" for an empty
    // one) and the element's Name.
    Texts Links() {
        std::map<std::string, std::string> labels;
        for (const auto& port : Query({"QRXSG_PhysicalNetworkPort"})) {
            const std::string id = port->GetProperty("DeviceID", {})->GetValue({}).ToString();
            labels[port->Path()] = id.empty() ? "''" : id;
        }
        Texts links;
        for (const auto& link : Query({kDeviceFirmware})) {
            Texts ends;
            for (const auto& [name, value] : link->Properties()) {
                const std::string path = value.ToString();
                const auto named = path.find("Name=\"");
                ends.push_back(*name + "=" +
                               (labels.count(path) ? labels[path] : path.substr(named + 6, path.find('"', named + 6) - named - 6)));
            }
            links.push_back(ends.size() == 2 ? ends[0] + " > " + ends[1] : "?");
        }
        return links;
    }

private:
    class WithoutElements : public RecordsPlugin {
    public:
        using RecordsPlugin::RecordsPlugin;
        void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns, const ClassList& classes) override {
            ClassList kept;
            for (const auto& cls : classes) {
                if (cls->GetName({}) != kElement) kept.push_back(cls);
            }
            provider::QueryInstances(ns, kept, data);
        }
    } withoutElements_{plugin_.data};
};

TEST_F(DeviceFirmware, EachPassHandsOutTheFirstElementWhoseVersionOccursAndThatNoEarlierAdapterGot) {
    Add("Broadcom NetXtreme", "", "3.38", "", "");
    Add("Broadcom NetXtreme", "", "3.38", "", "2.0");
    Add("Intel PRO/1000", "", "3.38", "", "2.0");                // not Broadcom
    Add("Broadcom", "", "3.38", "", "2.0")->SetDeviceID("sit1");  // no port: E5 is left for dev5
    AddPhysical("", 9)->SetDescription("Display adapter");       // its port's empty DeviceID occurs in every one
    Add("BCM5709", "", "5722-3.38", "", "2.0");                   // after the empty port: linked to it
    Add("Broadcom", "", "9.9", "", "")->SetDeviceID("dev10");     // dev1's port comes first
    AddElement("E1", "3.38");
    AddElement("E2", "2.0");
    AddElement("E3", "3.38");
    AddElement("E1", "3.38");  // the same path as the first: handed out with it
    AddElement("E5", "");      // occurs in every text, the empty ASF version too
    AddElement("E6", "9.9");

    EXPECT_EQ(Links(), (Texts{
                           "Dependent=dev1 > Antecedent=E1",  // main
                           "Dependent=dev1 > Antecedent=E5",  // ASF: the empty version
                           "Dependent=dev2 > Antecedent=E3",
                           "Dependent=dev2 > Antecedent=E2",
                           "Dependent='' > Antecedent=E5",  // main; no ASF element is left
                           "Dependent=dev1 > Antecedent=E6",
                       }));
}

}  // namespace
}  // namespace linkscope::testing
