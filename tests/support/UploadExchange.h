#pragma once
// The upload command's exchange without the window: the link's upload session over a port,
// sending every sequence of a fixed list, logging nowhere.
#include <vector>

#include "engine/Electsequence.h"
#include "link/PortNumbers.h"
#include "link/UploadSession.h"

class TFixedUploadList final : public TUploadList {
public:
    explicit TFixedUploadList(const std::vector<TElectSequence*>& sequences) : Sequences(sequences) {}
    int EntryCount() override { return static_cast<int>(Sequences.size()); }
    TElectSequence* EntryToSend(int i) override { return Sequences[static_cast<std::size_t>(i)]; }

private:
    std::vector<TElectSequence*> Sequences;
};

inline TUploadReport RunUploadExchange(TPortVirt& port, int portNumber, const std::vector<TElectSequence*>& sequences,
                                       TProgressSink* progress, int speed = kHighSpeed,
                                       const std::string& address = std::string()) {
    TUploadLog quiet;
    TFixedUploadList list(sequences);
    return TUploadSession(&port, quiet, progress).Run({portNumber, speed, address}, list);
}

// A result the window knows how to show: a memory the meter has, or a failure. A computed
// sequence never comes back as not computed.
inline bool KnownResultOfComputed(const TSequenceResult& r) {
    if (r.Outcome == TSequenceOutcome::Stored) return r.Memory >= 0 && r.Memory <= kLastMeterMemory;
    return r.Outcome != TSequenceOutcome::NotComputed && r.Memory == -1;
}
