// The diagnostic text of a physical adapter's library record.
#include <string>
#include <variant>

#include "collect/log.h"
#include "teams/broadcom/record_layout.h"
#include "teams/teams.h"

namespace linkscope {
namespace {

namespace field = bmapi::adapter_field;

struct DumpLine {
    const char* label;
    std::variant<std::size_t, bmapi::TextField> value;  // a u32 offset or a text field
};

constexpr DumpLine kDumpLines[] = {
    {"nic_type            : ", field::kType},
    {"handle              : ", field::kHandle},
    {"title               : ", field::kTitle},
    {"product_name        : ", field::kProductName},
    {"member_type         : ", field::kMemberType},
    {"dhcp_enabled        : ", field::kDhcp},
    {"ip_addr             : ", field::kIpAddress},
    {"subnet_mask         : ", field::kSubnetMask},
    {"default_gateway     : ", field::kDefaultGateway},
    {"driver_loaded       : ", field::kDriverLoaded},
    {"current_mac_addr    : ", field::kCurrentMac},
    {"permanent_mac_addr  : ", field::kPermanentMac},
    {"major_version_number: ", field::kMajorVersion},
    {"minor_version_number: ", field::kMinorVersion},
    {"vlan_id             : ", field::kVlanId},
    {"vlan_name           : ", field::kVlanName},
    {"state               : ", field::kState},
    {"media type          : ", field::kMediaType},
    {"arch type           : ", field::kArchType},
};

}  // namespace

void Teams::DumpAdapterRecord(const char* source, std::int32_t line, const bmapi::RecordView& record) {
    std::string text;
    text.reserve(1024);
    text.append("Called from: ").append(source ? source : "").append(":").append(std::to_string(line));
    text.append("\n").append(72, '-').append("\n");
    for (const DumpLine& dump : kDumpLines) {
        text.append(dump.label);
        if (const auto* offset = std::get_if<std::size_t>(&dump.value)) {
            text.append(std::to_string(record.U32(*offset)));
        } else {
            text.append(record.Text(std::get<bmapi::TextField>(dump.value)));
        }
        text.push_back('\n');
    }
    Log(kLogDetail, text);
}

}  // namespace linkscope
