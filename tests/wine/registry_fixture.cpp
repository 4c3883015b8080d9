// Writes into a Wine prefix, through the real SetupAPI and registry calls,
// a network device whose driver key names an adapter the system reports
// and holds a "SpeedDuplex" setting with its enumeration, and a disabled
// one (TCP/IP binding not linked) with a "RequestedMediaType" setting.
//   registry_fixture.exe ADAPTER-ID DISABLED-ID DESCRIPTION
// Exits 1 naming the failing call and its system error code.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/os_resources.h"
#include "platform/win32/windows_api.h"

namespace {

using linkscope::win32::DeviceInfoSet;
using linkscope::win32::UniqueRegKey;

constexpr GUID kNetClass = {0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kLanInterfaceClass = {0xad498944, 0x762f, 0x11d0, {0x8d, 0xcb, 0x00, 0xc0, 0x4f, 0xc3, 0x35, 0x8c}};
constexpr char kLanInterfaceKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{ad498944-762f-11d0-8dcb-00c04fc3358c}";

struct Failure {
    std::string call;
    DWORD code;
};

void Check(bool ok, const char* call) {
    if (!ok) throw Failure{call, GetLastError()};
}
void CheckStatus(LSTATUS status, const char* call) {
    if (status != ERROR_SUCCESS) throw Failure{call, static_cast<DWORD>(status)};
}
template <std::size_t N>
void SetProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, const char (&value)[N], const char* call) {
    Check(SetupDiSetDeviceRegistryPropertyA(set, &device, property, reinterpret_cast<const BYTE*>(value), N), call);
}

void SetValue(HKEY key, const char* name, DWORD type, const void* data, std::size_t size) {
    CheckStatus(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
                "RegSetValueExA");
}
void SetText(HKEY key, const std::string& name, const std::string& text) {
    SetValue(key, name.c_str(), REG_SZ, text.c_str(), text.size() + 1);
}

UniqueRegKey CreateKey(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyExA");
    return UniqueRegKey(key);
}

using Entries = std::vector<std::pair<std::string, std::string>>;

// A root-enumerated network device whose driver key names the adapter
// `instanceId` and holds `setting` with its display texts, as a driver's
// installation writes them.
void RegisterNetDevice(HDEVINFO set, SP_DEVINFO_DATA& device, const std::string& description,
                       const std::string& instanceId, const std::string& setting, const std::string& code,
                       const Entries& texts) {
    device.cbSize = sizeof device;
    Check(SetupDiCreateDeviceInfoA(set, "LINKSCOPE_FIXTURE", &kNetClass, description.c_str(), nullptr,
                                   DICD_GENERATE_ID, &device),
          "SetupDiCreateDeviceInfoA");
    SetProperty(set, device, SPDRP_HARDWAREID, "root\\linkscope_fixture\0", "SetupDiSetDeviceRegistryPropertyA");
    Check(SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr), "SetupDiRegisterDeviceInfo");
    // No driver is installed, so the class name is recorded by hand.
    SetProperty(set, device, SPDRP_CLASS, "Net", "SetupDiSetDeviceRegistryPropertyA(SPDRP_CLASS)");
    const HKEY driver = SetupDiCreateDevRegKeyA(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr);
    Check(driver != INVALID_HANDLE_VALUE, "SetupDiCreateDevRegKeyA");
    const UniqueRegKey owned(driver);
    SetText(driver, "DriverDesc", description);
    SetText(driver, "NetCfgInstanceId", instanceId);
    SetText(driver, setting, code);
    const UniqueRegKey enumeration = CreateKey(driver, "Ndi\\Params\\" + setting + "\\enum");
    for (const auto& [name, text] : texts) SetText(enumeration.get(), name, text);
}

// The LAN interface key whose reference subkey is "#" + `instanceId`.
std::string FindInterfaceKey(const std::string& instanceId) {
    HKEY opened = nullptr;
    CheckStatus(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLanInterfaceKey, 0, KEY_READ, &opened), "RegOpenKeyExA");
    const UniqueRegKey classKey(opened);
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LSTATUS listed = RegEnumKeyExA(classKey.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed != ERROR_SUCCESS) break;
        const std::string reference = std::string(kLanInterfaceKey) + "\\" + name + "\\#" + instanceId;
        HKEY probe = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, reference.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            RegCloseKey(probe);
            return reference;
        }
    }
    throw Failure{"no interface key with reference #" + instanceId, ERROR_FILE_NOT_FOUND};
}

void WriteFixture(const std::string& adapterId, const std::string& disabledId, const std::string& description) {
    const DeviceInfoSet set(SetupDiCreateDeviceInfoList(&kNetClass, nullptr));
    Check(static_cast<bool>(set), "SetupDiCreateDeviceInfoList");

    SP_DEVINFO_DATA enabled{};
    RegisterNetDevice(set.Get(), enabled, "Fixture adapter with a speed setting", adapterId, "SpeedDuplex", "4",
                      {{"0", "Auto Negotiation"}, {"3", "100 Mbps Half Duplex"}, {"4", "100 Mbps Full Duplex"}});
    std::printf("device with speed setting for %s\n", adapterId.c_str());

    SP_DEVINFO_DATA disabled{};
    RegisterNetDevice(set.Get(), disabled, description, disabledId, "RequestedMediaType", "2",
                      {{"0", "Auto Detect"}, {"2", "10 Mbps Full Duplex"}});
    SP_DEVICE_INTERFACE_DATA lan{};
    lan.cbSize = sizeof lan;
    Check(SetupDiCreateDeviceInterfaceA(set.Get(), &disabled, &kLanInterfaceClass, disabledId.c_str(), 0, &lan),
          "SetupDiCreateDeviceInterfaceA");
    // A disabled adapter's binding says in "Control" that it is not linked.
    const UniqueRegKey control = CreateKey(HKEY_LOCAL_MACHINE, FindInterfaceKey(disabledId) + "\\Control");
    const DWORD notLinked = 0;
    SetValue(control.get(), "Linked", REG_DWORD, &notLinked, sizeof notLinked);
    std::printf("disabled device %s\n", disabledId.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: registry_fixture ADAPTER-ID DISABLED-ID DESCRIPTION\n");
        return 2;
    }
    try {
        WriteFixture(argv[1], argv[2], argv[3]);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "registry_fixture: %s failed: system error %lu\n", failure.call.c_str(),
                     static_cast<unsigned long>(failure.code));
        return 1;
    }
    return 0;
}
