// Sequence computation: the generator of the grid and array type fills the list from index 0.
#include "engine/Electsequence.h"

void TElectSequence::ComputeSequence(bool reverse, bool delPolar) {
    MaxDepthX = MaxDepthY = 0.0f;
    int count = -1;  // -1: no generator for this array type, the list stays in force
    if (Grid.GridType == gtBorehole) {
        switch (Grid.ArrayType) {
            case 1: count = ComputeBoreholeDipoleDipoleDiagonal(); break;
            case 2: count = ComputeBoreholeDipoleDipoleEquatorial(); break;
            default: break;
        }
    } else {
        switch (Grid.ArrayType) {
            case 1: count = ComputeDipoleDipole(); break;
            case 2: count = ComputeDipoleDipoleEquatorial(); break;
            case 3: count = ComputePoleDipoleForward(); break;
            case 4: count = ComputePoleDipoleReverse(); break;
            case 5: count = delPolar ? ComputeWennerDelPolar() : ComputeWenner(); break;
            case 6: count = delPolar ? ComputeWennerSchlumbergerDelPolar() : ComputeWennerSchlumberger(); break;
            case 7: count = ComputeWSReciprocal(); break;
            case 8: count = ComputeGradient(); break;
            case 9: count = ComputeCompletePolePole(); break;
            case 10: count = ComputeCrossDiagonalPolePole(); break;
            case 11: count = ComputeMultiGradient(); break;
            case 12: count = ComputeCrossDiagonalDipoleDipole(); break;
            case 13: count = ComputeCrossDiagonalPoleDipoleForward(); break;
            case 14: count = ComputeCrossDiagonalPoleDipoleReverse(); break;
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
