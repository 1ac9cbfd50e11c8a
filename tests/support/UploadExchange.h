#pragma once
// The exchange of the upload command without the window: open, latency 10, synchronise, read
// the version, upload each sequence, end with command 0. What it gives is what the window logs.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
#include "link/Portvirt.h"

struct TUploadExchange {
    bool Opened = false;
    bool Synchronized = false;
    std::string Name, Speed;
    bool VersionRead = false;
    std::int32_t Version = 0;
    std::vector<std::int32_t> Results;  // Upload's result for each sequence sent
    bool Stopped = false;               // "Communication stopped": a port error outside an upload
    bool Ended = false;                 // the closing command was confirmed

    bool operator==(const TUploadExchange&) const = default;
};

inline TUploadExchange RunUploadExchange(TPortVirt& port, int portNumber,
                                         const std::vector<TElectSequence*>& sequences,
                                         TProgressSink* progress) {
    TUploadExchange x;
    try {
        if (port.Open(portNumber, 273000, 0, std::string(), false, std::string()) <= 0) return x;
        x.Opened = true;
        port.SetLatency(10);
        // As in the window, a failed synchronisation does not stop the exchange.
        x.Synchronized = port.Synchronize(x.Name, x.Speed);
        std::uint8_t v[4];
        port.GetBuffer(v, 4);
        x.VersionRead = true;
        x.Version = static_cast<std::int32_t>(std::uint32_t(v[0]) | std::uint32_t(v[1]) << 8 |
                                              std::uint32_t(v[2]) << 16 | std::uint32_t(v[3]) << 24);
        for (TElectSequence* s : sequences) {
            x.Results.push_back(s->Upload(port, x.Version, progress));
            if (x.Results.back() < 0 && x.Results.back() != -4) break;  // too old, upload error, memory full
        }
    } catch (const EPortError&) {
        x.Stopped = true;
    }
    try {
        if (port.GetState() > 0) x.Ended = port.SendCmd(0, port.Timing.CommandTimeoutMs);
    } catch (const EPortError&) {
        x.Stopped = true;
    }
    return x;
}
