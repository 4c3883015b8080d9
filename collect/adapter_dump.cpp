#include <sstream>

#include "collect/log.h"
#include "collect/network_adapter.h"

namespace linkscope {

void NetworkAdapter::Dump(const char* file, std::int32_t line) const {
    std::ostringstream text;
    text << "Called from: " << (file ? file : "") << ":" << line << "\n"
         << "DeviceID      : " << DeviceID << "\n"
         << "Name          : " << Name << "\n"
         << "Permanent Addr: " << PermanentAddress << "\n"
         << "Description   : " << Description << "\n"
         << "Nic Type      : " << NicType << "\n"
         << "Speed         : " << Speed << "\n"
         << "MTU           : " << ActiveMaximumTransmissionUnit << "\n"
         << "Port Number   : " << PortNumber << "\n"
         << "ip Address List Size   : " << IPv4AddressList.size() << "\n"
         << "FW Version    : " << FirmwareVersion << "\n"
         << "PCI DeviceID   : " << PCIDeviceID << "\n";
    if (DhcpEnabled) {
        text << "DHCP Enabled   : true\n"
             << "DHCP Server    : " << DhcpServer << "\n";
    } else {
        text << "DHCP Enabled   : false\n";
    }
    if (HaveWins) {
        text << "Have Wins      : true\n"
             << "Pri Wins Server:" << PrimaryWinsServer << "\n"
             << "Sec Wins Server:" << SecondaryWinsServer << "\n";
    } else {
        text << "Have Wins      : false\n";
    }
    text << "Enabled State  : " << EnabledState << "\n";
    Log(kLogDetail, text.str());
}

}  // namespace linkscope
