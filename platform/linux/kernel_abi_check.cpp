// The constants of kernel_records.h are the kernel's: a mismatch fails the
// build here instead of misreading an answer at run time.
#include "platform/linux/kernel_records.h"
#include "platform/linux/os_headers.h"

namespace linkscope::live {

static_assert(kHwEther == ARPHRD_ETHER && kHwPpp == ARPHRD_PPP && kHwLoopback == ARPHRD_LOOPBACK);
static_assert(kHwTunnel == ARPHRD_TUNNEL && kHwTunnel6 == ARPHRD_TUNNEL6 && kHwSit == ARPHRD_SIT);
static_assert(kHwIpGre == ARPHRD_IPGRE && kHwIp6Gre == ARPHRD_IP6GRE && kHwNone == ARPHRD_NONE);
static_assert(kHwIeee80211 == ARPHRD_IEEE80211 && kHwIeee80211Prism == ARPHRD_IEEE80211_PRISM &&
              kHwIeee80211Radiotap == ARPHRD_IEEE80211_RADIOTAP);
static_assert(kFlagUp == IFF_UP && kFlagLowerUp == IFF_LOWER_UP);
static_assert(static_cast<int>(OperState::kUnknown) == IF_OPER_UNKNOWN &&
              static_cast<int>(OperState::kNotPresent) == IF_OPER_NOTPRESENT &&
              static_cast<int>(OperState::kDown) == IF_OPER_DOWN &&
              static_cast<int>(OperState::kLowerLayerDown) == IF_OPER_LOWERLAYERDOWN &&
              static_cast<int>(OperState::kTesting) == IF_OPER_TESTING &&
              static_cast<int>(OperState::kDormant) == IF_OPER_DORMANT &&
              static_cast<int>(OperState::kUp) == IF_OPER_UP);
static_assert(kFamilyInet == AF_INET && kFamilyInet6 == AF_INET6 && kAddressPermanent == IFA_F_PERMANENT);
static_assert(kTableMain == RT_TABLE_MAIN && kRouteUnicast == RTN_UNICAST);
static_assert(kBondSlaveActive == BOND_STATE_ACTIVE && kBondSlaveBackup == BOND_STATE_BACKUP);
static_assert(kDuplexHalf == DUPLEX_HALF && kDuplexFull == DUPLEX_FULL && kDuplexUnknown == DUPLEX_UNKNOWN);

}  // namespace linkscope::live
