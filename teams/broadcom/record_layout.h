// Where the collector reads each field of the NIC management library's
// records: offsets in bytes from the record's start. A text field ends where
// the next field begins.
#pragma once

#include <cstddef>

#include "platform/bmapi_abi.h"
#include "teams/broadcom/record_view.h"

namespace linkscope::bmapi {

// Team record (kTeamRecordSize bytes each, back to back, from GetAllTeam).
namespace team_field {
inline constexpr TextField kName{0, 40};
inline constexpr std::size_t kId = 40;
inline constexpr std::size_t kType = 44;
inline constexpr std::size_t kVirtualAdapterCount = 3432;
inline constexpr std::size_t kFirstVirtualHandle = 3440;  // then one every kVirtualHandleStride bytes
inline constexpr std::size_t kVirtualHandleStride = 420;
// How many virtual-adapter handles fit inside one team record.
inline constexpr std::size_t kMaxVirtualHandles = (kTeamRecordSize - kFirstVirtualHandle - 4) / kVirtualHandleStride + 1;
}  // namespace team_field

// Team virtual-adapter record (GetBrcmVirNic).
namespace virtual_nic_field {
inline constexpr TextField kName{12, 260};
inline constexpr TextField kIpAddress{260, 280};
inline constexpr TextField kSubnetMask{280, 300};
inline constexpr std::size_t kDriverState = 320;  // 1: loaded
inline constexpr TextField kMacAddress{344, 372};  // bare hex digits
inline constexpr std::size_t kVlanId = 372;
inline constexpr TextField kVlanName{376, 424};
inline constexpr std::size_t kAdapterState = 424;
inline constexpr std::size_t kTeamId = 528;
}  // namespace virtual_nic_field

// Physical adapter record (GetPhyNic), the library's BM_ADAPTER_INFO_EX.
namespace adapter_field {
inline constexpr std::size_t kType = 8;
inline constexpr std::size_t kHandle = 12;  // the record's own adapter handle
inline constexpr TextField kTitle{16, 96};
inline constexpr TextField kProductName{96, 176};
inline constexpr std::size_t kMemberType = 176;
inline constexpr TextField kDescription{180, 260};
inline constexpr std::size_t kDhcp = 260;  // 1: enabled
inline constexpr TextField kIpAddress{264, 284};
inline constexpr TextField kSubnetMask{284, 304};
inline constexpr TextField kDefaultGateway{304, 324};
inline constexpr std::size_t kDriverLoaded = 324;  // 1: loaded
inline constexpr TextField kCurrentMac{328, 348};     // bare hex digits
inline constexpr TextField kPermanentMac{348, 368};   // bare hex digits
inline constexpr std::size_t kMajorVersion = 368;
inline constexpr std::size_t kMinorVersion = 372;
inline constexpr std::size_t kVlanId = 376;
inline constexpr TextField kVlanName{380, 420};
inline constexpr std::size_t kState = 420;
inline constexpr std::size_t kPciDeviceId = 432;
inline constexpr std::size_t kMediaType = 568;
inline constexpr std::size_t kSpeed = 572;
inline constexpr std::size_t kAdapterState = 576;
inline constexpr TextField kTeamName{652, 692};
inline constexpr std::size_t kTeamId = 692;  // 0: not in a team
inline constexpr std::size_t kArchType = 704;
}  // namespace adapter_field

// Extended adapter record (GetBRCMNicInfoEx): the configured link setting.
inline constexpr std::size_t kLinkSettingField = 120;
// Second-function record (GetVbdEnumInfo): the second function's handle.
inline constexpr std::size_t kSecondFunctionHandleField = 16;
// Firmware-information record (GetFirmwareInfo).
inline constexpr TextField kFirmwareVersionField{516, 612};
// 5706 and 57710 firmware records: the two boot-code versions.
inline constexpr TextField kBootCode1Field{4, 20};
inline constexpr TextField kBootCode2Field{20, 36};
// ASF table (GetASFTable).
inline constexpr TextField kAsfVersionField{1576, 1604};

}  // namespace linkscope::bmapi
