// Firmware versions, PCI device id and ASF version of one Broadcom adapter.
#include <cstdio>
#include <string>

#include "collect/log.h"
#include "teams/broadcom/collection.h"
#include "teams/broadcom/record_layout.h"
#include "teams/teams.h"

namespace linkscope::bmapi {
namespace {

enum class Family { kGeneral, k5706, k57710 };

Family FamilyOf(U32 type) {
    if (type == 4 || (type >= 101 && type <= 104)) return Family::k5706;
    if (type == 5) return Family::k57710;
    return Family::kGeneral;
}

constexpr U32 kDevice57710 = 0x164E;
constexpr U32 kDevice57711 = 0x164F;

std::string LowerHex(U32 value) {
    char text[9];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

void ReadGeneral(NicLibrary& library, LibraryRecord& buffer, U32 handle, NetworkAdapter& adapter) {
    buffer.PresetU32(kFirmwareInfoRecord.preset);
    const U32 code = library.GetRecord(Entry::GetFirmwareInfo, handle, buffer);
    if (code != kSuccess) {
        LogCode("Unable to read Physical NICs firmwareVersion info - RC: ", code);
        adapter.SetFirmwareVersion("");
        return;
    }
    Log(kLogDetail, "Successfully added Physical NICs firmwareVersion info.");
    const std::string version = Teams::CleanVersionText(buffer.View().Text(kFirmwareVersionField));
    if (!version.empty()) adapter.SetFirmwareVersion(version);
}

// The boot-code families: the first boot-code version holds the chip and
// the version, e.g. "5708c v1.9.6". Returns the version's two parts, or
// nothing when the call fails or the text cleans to nothing.
bool ReadBootCode(NicLibrary& library, LibraryRecord& buffer, const RecordShape& shape, Entry entry,
                  const char* family, U32 handle, NetworkAdapter& adapter, std::string* after, std::string* before) {
    buffer.PresetU32(shape.preset);
    const U32 code = library.GetRecord(entry, handle, buffer);
    if (code != kSuccess) {
        LogCode(("Unable to read Physical NICs " + std::string(family) + " firmwareVersion info - RC: ").c_str(), code);
        adapter.SetFirmwareVersion("Unknown");
        return false;
    }
    const std::string bootCode = buffer.View().Text(kBootCode1Field);
    Log(kLogDetail, "Physical NICs " + std::string(family) + " bc1_ver: " + bootCode + "\nPhysical NICs " + family +
                        " bc2_ver: " + buffer.View().Text(kBootCode2Field));
    *after = Teams::CleanVersionText(bootCode);
    if (after->empty()) return false;
    *before = *after;
    Teams::SplitVersionText(*after, *before);
    return true;
}

void ReadAsf(NicLibrary& library, LibraryRecord& buffer, U32 handle, NetworkAdapter& adapter) {
    buffer.PresetByte(static_cast<std::uint8_t>(kAsfTableRecord.preset));
    const U32 code = library.GetRecord(Entry::GetASFTable, handle, buffer);
    if (code == kSuccess) {
        const std::string version = Teams::CleanVersionText(buffer.View().Text(kAsfVersionField));
        if (!version.empty()) adapter.SetASFFirmwareVersion(version);
    } else if (code == kAsfNotConfigured) {
        Log(kLogDetail, "Unable to get ASF Table - BCM NIC not configured for ASF.");
    } else {
        LogCode("Unable to get ASF Table - RC: ", code);
    }
}

}  // namespace

// Each failed call is logged and the next step runs all the same.
void CollectFirmware(NicLibrary& library, WorkBuffers& buffers, U32 handle, const RecordView& record,
                     NetworkAdapter& adapter) {
    if (const U32 code = library.InitDiag(handle); code != kSuccess) {
        LogCode("Unable to initialize diagnostics for Physical NIC - RC: ", code);
    }
    const U32 deviceId = record.U32(adapter_field::kPciDeviceId);
    std::string after;
    std::string before;
    switch (FamilyOf(record.U32(adapter_field::kType))) {
        case Family::kGeneral:
            ReadGeneral(library, buffers.firmwareInfo, handle, adapter);
            break;
        case Family::k57710:
            if (ReadBootCode(library, buffers.firmware57710, k57710FirmwareRecord, Entry::Get57710FwInfo, "57710",
                             handle, adapter, &after, &before)) {
                adapter.SetFirmwareVersion(after);
                if (deviceId == kDevice57710) {
                    adapter.SetSecondFirmwareVersion("57710");
                } else if (deviceId == kDevice57711) {
                    adapter.SetSecondFirmwareVersion("57711");
                } else {
                    LogCode("BM_ADAPTER_INFO_EX device_id field contains unsupported value : ", deviceId);
                }
            }
            break;
        case Family::k5706:
            if (ReadBootCode(library, buffers.firmware5706, k5706FirmwareRecord, Entry::Get5706FwInfo, "5706", handle,
                             adapter, &after, &before)) {
                adapter.SetFirmwareVersion(after);
                adapter.SetSecondFirmwareVersion(before);
            }
            break;
    }
    adapter.SetPCIDeviceID(LowerHex(deviceId));
    ReadAsf(library, buffers.asfTable, handle, adapter);
    if (const U32 code = library.UnInitDiag(handle); code != kSuccess) {
        LogCode("Unable to un-intialize diags - RC: ", code);
    }
}

}  // namespace linkscope::bmapi
