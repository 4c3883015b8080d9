// Routing-netlink dump replies as plain records. Pure functions of the
// bytes the kernel sent: every length is checked against the datagram it
// lies in, a malformed message ends the walk of its datagram, and a
// malformed attribute ends the walk of its message. Messages of other
// types in the same datagrams are passed over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/linux/kernel_records.h"

namespace linkscope::live {

using Datagram = std::vector<std::uint8_t>;

// What one datagram of a dump reply says about the dump as a whole.
struct DumpProgress {
    bool finished = false;  // it holds the closing message (done or error)
    int error = 0;  // positive errno when the kernel refused or aborted the dump
    bool interrupted = false;  // the tables changed while being dumped; the reply is inconsistent
};

DumpProgress InspectDumpDatagram(const std::uint8_t* data, std::size_t size);
inline DumpProgress InspectDumpDatagram(const Datagram& datagram) {
    return InspectDumpDatagram(datagram.data(), datagram.size());
}

// The records of one datagram, appended as it arrives, so that a dump is
// read without keeping its datagrams.
void AppendLinks(const std::uint8_t* data, std::size_t size, std::vector<LinkRecord>& links);
void AppendAddresses(const std::uint8_t* data, std::size_t size, std::vector<AddressRecord>& addresses);
// IPv4 routes only; routes of other families are passed over.
void AppendRoutes(const std::uint8_t* data, std::size_t size, std::vector<RouteRecord>& routes);

// The id of the generic-netlink family that the controller's reply
// describes, 0 when it names none.
std::uint16_t ParseFamilyId(const std::vector<Datagram>& datagrams);
// The link-modes dump of the ethtool family `familyId`: one record per
// interface whose driver has link settings.
std::vector<LinkModesRecord> ParseLinkModesDump(const std::vector<Datagram>& datagrams, std::uint16_t familyId);

}  // namespace linkscope::live
