// The engine's upload of one sequence. It lives in the link library so that the engine
// itself needs no link code.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/Electsequence.h"
#include "engine/Host.h"
#include "link/Portvirt.h"

namespace {
constexpr std::int32_t kFirstSupported = 0x20000002;  // electrode table, command 0xAA
constexpr std::int32_t kRemoteAndGaps = 0x20000003;   // remote electrodes, gap-filler bit, 0xBB
constexpr std::uint8_t kCommandOld = 0xAA;
constexpr std::uint8_t kCommand = 0xBB;
constexpr std::uint16_t kGapFillerBit = 0x8000;
}  // namespace

std::int32_t TElectSequence::Upload(TPortVirt& port, std::int32_t version, TProgressSink* progress) {
    if (!IsValid() && Grid.ArrayType != atMixed) return kUploadNotComputed;
    // Bounded to the tables before anything is built from them; an empty list has nothing
    // the meter could store.
    const std::int32_t lastQuad = std::min(Device.LastQuadripole, kMaxQuadripoles - 1);
    const std::int32_t lastElect = std::clamp(Device.LastElectrode, 0, kMaxElectrodes - 1);
    if (lastQuad < 0) return kUploadNotComputed;
    if (version < kFirstSupported) return kUploadTooOld;
    const bool old = version < kRemoteAndGaps;
    if (old)
        Host().ShowMessage(
            "The software version of Reskon or Dunel is too old, All fonctionnalities could not be "
            "transfered, Contact Olvane Zerarezizuz for new version.");
    try {
        if (!port.SendCmd(old ? kCommandOld : kCommand, port.Timing.CommandTimeoutMs)) return kUploadError;
        std::uint8_t reply[4];
        port.GetBuffer(reply, 4);
        std::int32_t status;
        std::memcpy(&status, reply, 4);
        if (status < 0) return kUploadError;
        if (status > kLastMeterMemory) return kUploadMemoryFull;

        // The header as the meter must read it: with the bounded counts.
        std::uint8_t header[kDeviceHeaderSize];
        std::memcpy(header, &Device, kDeviceHeaderSize);
        std::memcpy(header + offsetof(TReskonPro, LastQuadripole), &lastQuad, 4);
        std::memcpy(header + offsetof(TReskonPro, LastElectrode), &lastElect, 4);
        port.UploadBuffer(header, kDeviceHeaderSize, nullptr, progress);

        port.UploadBuffer(Device.Electrodes, (lastElect + 1) * std::int32_t(sizeof(TElectrodeXYZ)),
                          nullptr, progress);
        if (!old) port.UploadBuffer(RemoteElectrodes, sizeof(RemoteElectrodes), nullptr, progress);

        std::vector<TQuadripole> quads(Device.Quadripoles, Device.Quadripoles + lastQuad + 1);
        if (!old)
            for (std::int32_t q = 0; q <= lastQuad; ++q)
                if (QuadInfo[q].Level < 0) quads[q].A |= kGapFillerBit;
        port.UploadBuffer(quads.data(), std::int32_t(quads.size() * sizeof(TQuadripole)), nullptr,
                          progress);
        return status;
    } catch (...) {
        // Every failure of the exchange, the user's Cancel included, is the upload error.
        return kUploadError;
    }
}
