// Sequence computation: the generator of the grid and array type fills the list from index 0.
#include "engine/Electsequence.h"

void TElectSequence::ComputeSequence(bool reverse, bool delPolar) {
    MaxDepthX = MaxDepthY = 0.0f;
    int count = -1;  // -1: no generator for this array type, the list stays in force
    if (Grid.GridType == gtBorehole) {
        switch (Grid.ArrayType) {
            case batDipoleDipoleDiagonal: count = ComputeBoreholeDipoleDipoleDiagonal(); break;
            case batDipoleDipoleEquatorial: count = ComputeBoreholeDipoleDipoleEquatorial(); break;
            default: break;
        }
    } else {
        switch (Grid.ArrayType) {
            case atDipoleDipole: count = ComputeDipoleDipole(); break;
            case atDipoleDipoleEquatorial: count = ComputeDipoleDipoleEquatorial(); break;
            case atPoleDipoleForward: count = ComputePoleDipoleForward(); break;
            case atPoleDipoleReverse: count = ComputePoleDipoleReverse(); break;
            case atWenner: count = delPolar ? ComputeWennerDelPolar() : ComputeWenner(); break;
            case atWennerSchlumberger:
                count = delPolar ? ComputeWennerSchlumbergerDelPolar() : ComputeWennerSchlumberger();
                break;
            case atWSReciprocal: count = ComputeWSReciprocal(); break;
            case atGradient: count = ComputeGradient(); break;
            case atCompletePolePole: count = ComputeCompletePolePole(); break;
            case atCrossDiagonalPolePole: count = ComputeCrossDiagonalPolePole(); break;
            case atMultiGradient: count = ComputeMultiGradient(); break;
            case atCrossDiagonalDipoleDipole: count = ComputeCrossDiagonalDipoleDipole(); break;
            case atCrossDiagonalPoleDipoleForward: count = ComputeCrossDiagonalPoleDipoleForward(); break;
            case atCrossDiagonalPoleDipoleReverse: count = ComputeCrossDiagonalPoleDipoleReverse(); break;
            default: break;
        }
    }
    if (count >= 0) {
        Device.LastQuadripole = count - 1;
        Device.FirstQuadripole = 0;
    }
    if (reverse) ReverseQuadripoles();
    CountMeasurements();
}
