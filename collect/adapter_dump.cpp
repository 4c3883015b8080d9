#include <string>

#include "collect/log.h"
#include "collect/network_adapter.h"

namespace linkscope {

// Built by appending, not through a stream: every adapter is dumped once
// per collection, whatever level the host shows.
void NetworkAdapter::Dump(const char* file, std::int32_t line) const {
    std::string text;
    text.reserve(512 + DeviceID.size() + Name.size() + Description.size());
    const auto field = [&text](const char* label, const std::string& value) {
        text.append(label).append(value).push_back('\n');
    };
    field("Called from: ", (file ? file : "") + std::string(":") + std::to_string(line));
    field("DeviceID      : ", DeviceID);
    field("Name          : ", Name);
    field("Permanent Addr: ", PermanentAddress);
    field("Description   : ", Description);
    field("Nic Type      : ", std::to_string(NicType));
    field("Speed         : ", std::to_string(Speed));
    field("MTU           : ", std::to_string(ActiveMaximumTransmissionUnit));
    field("Port Number   : ", std::to_string(PortNumber));
    field("ip Address List Size   : ", std::to_string(IPv4AddressList.size()));
    field("FW Version    : ", FirmwareVersion);
    field("PCI DeviceID   : ", PCIDeviceID);
    if (DhcpEnabled) {
        field("DHCP Enabled   : ", "true");
        field("DHCP Server    : ", DhcpServer);
    } else {
        field("DHCP Enabled   : ", "false");
    }
    if (HaveWins) {
        field("Have Wins      : ", "true");
        field("Pri Wins Server:", PrimaryWinsServer);
        field("Sec Wins Server:", SecondaryWinsServer);
    } else {
        field("Have Wins      : ", "false");
    }
    field("Enabled State  : ", std::to_string(EnabledState));
    Log(kLogDetail, text);
}

}  // namespace linkscope
