#pragma once
// What the transport tests share: a host that keeps the captions of its questions, the
// setting that names a serial port's device, and the field-by-field check of an upload.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
#include "link/Eventpump.h"
#include "tests/link/LinkRig.h"
#include "tests/support/MeterSim.h"

class TCaptionHost : public TActingHost {
public:
    std::vector<std::string> Captions;
    bool Ask(const std::string& text, const std::string& caption) override {
        Captions.push_back(caption);
        return TActingHost::Ask(text, caption);
    }
};

// Lets events run until pred holds (or a generous bound of slices has passed).
template <class TPred>
bool PumpUntil(TPred pred) {
    for (int i = 0; i < 2000 && !pred(); ++i) PumpEvents(5);
    return pred();
}

// Names the device of serial port n (the setting the user would write); empty removes it.
void SetComDevice(int n, const std::string& path);

// The upload command's exchange for one sequence (open, latency, synchronise, version, the
// sequence, command 0), then the port closed. The sequence's result; entry -1 when the exchange
// stopped before it.
TSequenceResult UploadOne(TPortVirt& port, int portNumber, int speed, const std::string& address,
                          TElectSequence& s);

// The image the meter decoded equals what the sequence holds, field by field.
void ExpectImageOf(const TElectSequence& s, const TMeterSim::TImage& image);
