// The .sqz loader on arbitrary bytes, then the operations that trust what it accepted: every
// count and index they use must stay inside the tables.
#include <memory>

#include "engine/Electsequence.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string sqz = WriteInput("in.sqz", data, size);
    try {
        auto listed = std::make_unique<TElectSequence>(sqz);
    } catch (...) {
        // refused: the sequence list drops it
    }
    TElectSequence* s = &FreshObject<TElectSequence>();
    if (!s->LoadFromFile(sqz)) return 0;
    s->IsValid();
    s->GetMeasureTime();
    s->GetTotalTime();
    for (int q = 0; q < s->QuadripoleCount(); ++q) s->Device.GetGeometricFactor(q, s->RemoteElectrodes);
    s->CountMeasurements();
    s->MoveSequence(3, 2);
    s->MultiChannelOptimization();
    s->DelPolarEffect();
    s->ExportTextFile(FuzzFolder() + "/out.txt", "\t");
    s->SaveToSdCard(FuzzFolder() + "/out.sqz");
    return 0;
}
