// Sequence computation: the generator of the grid and array type fills the list from index 0.
#include "engine/ArrayTypes.h"
#include "engine/Electsequence.h"

void TElectSequence::ComputeSequence(bool reverse, bool delPolar) {
    MaxDepthX = MaxDepthY = 0.0f;
    const TArrayTypeInfo& type = ArrayTypeOf(Grid);
    const TGenerator generator = delPolar && type.DelPolarGenerator ? type.DelPolarGenerator : type.Generator;
    // Without a generator (mixed array) the list stays in force.
    if (generator) {
        const int count = (this->*generator)();
        Device.LastQuadripole = count - 1;
        Device.FirstQuadripole = 0;
    }
    if (reverse) ReverseQuadripoles();
    CountMeasurements();
}
