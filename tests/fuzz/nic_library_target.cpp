#include "fuzz_input.h"
#include "inventory.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using platform::ResultCode;

// The longest text field of any record; no collected text is longer.
constexpr std::size_t kLongestField = 260 - 12;

// Mostly the few codes the collector tells apart, sometimes any.
ResultCode Code(FuzzInput& in) {
    static const ResultCode kCodes[] = {platform::kSuccess, platform::kInvalidParameter, platform::kInvalidHandle, 1, 2};
    return in.UsualOrAny(kCodes);
}

sim::CallCodes Codes(FuzzInput& in) {
    sim::CallCodes codes(in.Below(3) + 1);
    for (ResultCode& code : codes) code = Code(in);
    return codes;
}

// A count the library gives: small, up to a few hundred, or one at the
// edges of what the collector refuses (an array past 64 MiB, a count that
// is negative as a signed number). Counts in between only cost time in
// proportion, which is no finding.
std::uint32_t Count(FuzzInput& in) {
    static const std::uint32_t kEdges[] = {2213, 2214, 16777216 + 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const std::uint32_t pick = in.Below(3);
    return pick == 0 ? in.Below(8) : pick == 1 ? in.Below(256) : kEdges[in.Below(std::size(kEdges))];
}

bmapi::Entry AnyEntry(FuzzInput& in) { return static_cast<bmapi::Entry>(in.Below(bmapi::kEntryCount)); }

// Bytes over a record at an offset within it, or a little past it.
sim::RawPatch Patch(FuzzInput& in, std::uint32_t recordSize) {
    sim::RawPatch patch;
    patch.offset = in.Below(recordSize + 8);
    const std::vector<std::uint8_t> bytes = in.Bytes(64);
    // Often one byte repeated: an unterminated text or a huge count.
    patch.bytes = bytes.size() == 1 ? std::vector<std::uint8_t>(in.Below(300) + 1, bytes[0]) : bytes;
    return patch;
}

// The size of each kind of adapter record, in the order of the kinds.
const std::uint32_t kAdapterRecordSizes[] = {bmapi::kAdapterRecord.size, bmapi::kExtendedRecord.size,
                                             bmapi::kSecondFunctionRecord.size, bmapi::k5706FirmwareRecord.size,
                                             bmapi::kAsfTableRecord.size};

void Change(FuzzInput& in, sim::Machine& machine) {
    sim::NicLibrary& library = *machine.nicLibrary;
    const auto team = [&] { return in.Pick(library.teams); };
    const auto adapter = [&] { return in.Pick(library.adapters); };
    switch (in.Below(12)) {
        case 0:
            if (sim::NicTeam* t = team()) t->raw.push_back(Patch(in, bmapi::kTeamRecordSize));
            break;
        case 1:
            if (sim::NicTeam* t = team()) {
                if (auto* v = in.Pick(t->virtualAdapters)) v->raw.push_back(Patch(in, bmapi::kVirtualNicRecord.size));
            }
            break;
        case 2:
            if (sim::NicAdapter* a = adapter()) {
                const std::uint32_t kind = in.Below(std::size(kAdapterRecordSizes));
                a->raw[static_cast<sim::AdapterRecordKind>(kind)].push_back(Patch(in, kAdapterRecordSizes[kind]));
            }
            break;
        case 3:
            library.teamCount = Count(in);
            break;
        case 4:
            library.adapterCount = Count(in);
            break;
        case 5:
            library.results[AnyEntry(in)] = Codes(in);
            break;
        case 6:
            if (sim::NicAdapter* a = adapter()) a->results[AnyEntry(in)] = Codes(in);
            break;
        case 7:
            library.missing.push_back(AnyEntry(in));
            break;
        case 8:
            if (sim::NicTeam* t = team()) t->virtualAdapterCount = Count(in);
            break;
        case 9:
            if (sim::NicAdapter* a = adapter()) {
                std::string* texts[] = {&a->firmware, &a->bootCode, &a->bootCode2, &a->asf, &a->description,
                                        &a->title, &a->serviceName, &a->currentMac};
                *texts[in.Below(8)] = in.Text(80);
            }
            break;
        case 10:
            // Another adapter of the same or a new handle, maybe only
            // reachable as a second function.
            if (sim::NicAdapter* a = adapter()) {
                sim::NicAdapter copy = *a;
                copy.handle = in.Below(2) ? a->handle : in.Number<std::uint32_t>();
                copy.listed = in.Flag();
                a->secondFunction = copy.handle;
                library.adapters.push_back(copy);
            }
            break;
        case 11:
            if (in.Flag()) {
                library.failAllocation.push_back(in.Number<std::uint32_t>());
            } else {
                library.loadError = Code(in);
            }
            break;
    }
}

}  // namespace

void NicLibraryTarget(const std::uint8_t* data, std::size_t size) {
    CheckChangedMachine(data, size, {"broadcom-teams.json", "broadcom-firmware.json", "mixed-teams.json"}, Change,
                        kLongestField);
}

}  // namespace linkscope::fuzz
