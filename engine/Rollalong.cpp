// Roll-along cut: after the spread moves on by shiftX columns (and shiftY rows), the quadripoles
// that stand wholly in the part the previous position covered were measured already.
#include <algorithm>
#include <cfloat>

#include "engine/Electsequence.h"

namespace {
float Limit(std::int32_t shift, std::int32_t nodes, float spacing, float offset) {
    if (shift < 2) return 1e32f;
    const long double v = (static_cast<long double>(nodes) - shift + 1) * spacing + offset;
    return static_cast<float>(std::clamp<long double>(v, -FLT_MAX, FLT_MAX));
}
}  // namespace

void TElectSequence::MoveSequence(std::int32_t shiftX, std::int32_t shiftY) {
    const float limitX = Limit(shiftX, Grid.NX, Grid.DX, Grid.OffsetX);
    const float limitY = Limit(shiftY, Grid.NY, Grid.DY, Grid.OffsetY);
    auto keeps = [&](std::uint16_t e) {
        if (e == 0) return false;  // a remote electrode never keeps a quadripole
        if (e >= kMaxElectrodes) return true;
        const TElectrodeXYZ& p = Device.Electrodes[e];
        return !(p.X < limitX && p.Y < limitY);
    };

    // One compaction instead of a deletion per quadripole. Deleting one by one from the front
    // leaves the old last entry in every slot freed at the end, so those slots get it too.
    const int n = std::clamp(Device.LastQuadripole + 1, 0, kMaxQuadripoles);
    if (n > 0) {
        const TQuadripole lastQ = Device.Quadripoles[n - 1];
        const TQuadripoleInfo lastI = QuadInfo[n - 1];
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            const TQuadripole q = Device.Quadripoles[i];
            if (keeps(q.A) || keeps(q.B) || keeps(q.M) || keeps(q.N)) {
                Device.Quadripoles[kept] = q;
                QuadInfo[kept] = QuadInfo[i];
                ++kept;
            }
        }
        if (kept < n) {
            for (int i = kept; i < n; ++i) {
                Device.Quadripoles[i] = lastQ;
                QuadInfo[i] = lastI;
            }
            Device.LastQuadripole = kept - 1;
            Device.FirstQuadripole = 0;
        }
    }
    CountMeasurements();
}
