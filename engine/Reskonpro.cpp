#include "Reskonpro.h"

#include <cstring>

TReskonPro::TReskonPro() {
    // Bytes that no operation sets start at zero.
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    TrailerWord = 1;
    Channels = 10;
    HeaderWord4 = 0;
    HeaderWord8 = 65535;
    StackMin = 3;
    StackMax = 6;
    QMax = 1.0f;
    SetVmnChoice(2);
    SetTimeIndex(4);
    SetIPMode(0);
    SetRhoMode(1);
    SetAuxMode(1);
    SetVabChoice(0);
    VabMax10 = 80;
    DeviceArrayCode = 1;
    static const std::uint16_t timing[23] = {50, 28, 6, 4, 4, 4};
    std::memcpy(IPTiming, timing, sizeof(IPTiming));
    std::memcpy(SeqName, "ProSeqName", 10);
    HeaderByte103 = 0x01;  // bit 0 = 1, bits 1-7 = 0
    ClearElectrodes();
    ClearQuadripoles();
}

void TReskonPro::ClearQuadripoles() {
    std::memset(Quadripoles, 0, sizeof(Quadripoles));
    FirstQuadripole = 0;
    LastQuadripole = -1;
}

void TReskonPro::ClearElectrodes() {
    ElectrodeCount = 0;
    FirstElectrode = 0;
    LastElectrode = 0;
    for (auto& e : Electrodes) e = TElectrodeXYZ{kNoElectrode, 0.0f, 0.0f};
}

void TReskonPro::Clear() {
    ClearQuadripoles();
    ClearElectrodes();
}
