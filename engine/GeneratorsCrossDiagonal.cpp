// Cross-diagonal generators: the pole-pole, pole-dipole and dipole-dipole arrays of a surface
// grid laid out along the row, the column and the rising diagonal (column and row increasing).
#include "engine/Electsequence.h"
#include "engine/GeneratorsFrame.h"

using namespace generators;

namespace {


// X, then Y, then the diagonal (which keeps its largest depth in diagonalTo).
std::int32_t XYDiagonal(TElectSequence& s, bool backward, Spread (*x)(int, int), Spread (*yd)(int, int),
                        DepthTo diagonalTo) {
    Frame f(s);
    f.Nodes(backward, [&](int c, int r, std::uint32_t) {
        if (!AlongXThenY(f, c, r, false, x, yd)) return false;
        if (f.NY() > 1 && f.NX() > 1 && !Family(f, c, r, kDiagonal, false, diagonalTo, yd)) return false;
        return true;
    });
    return f.Count();
}
}  // namespace

// The diagonal comes before the Y family here, and the Y family needs two columns as well.
std::int32_t TElectSequence::ComputeCrossDiagonalDipoleDipole() {
    Frame f(*this);
    f.Nodes(false, [&](int c, int r, std::uint32_t) {
        if (f.NX() > 1 && !Family(f, c, r, kAlongX, false, DepthTo::X, DipoleDipole)) return false;
        if (f.NY() > 1 && !Family(f, c, r, kDiagonal, false, DepthTo::Y, DipoleDipole)) return false;
        if (f.NY() > 1 && f.NX() > 1 && !Family(f, c, r, kAlongY, false, DepthTo::YThenX, DipoleDipole))
            return false;
        return true;
    });
    return f.Count();
}

std::int32_t TElectSequence::ComputeCrossDiagonalPoleDipoleForward() {
    return XYDiagonal(*this, false, PoleDipoleForward, PoleDipoleForward, DepthTo::YThenX);
}

// Mirrored along X only; the Y and diagonal families run forward from the node.
std::int32_t TElectSequence::ComputeCrossDiagonalPoleDipoleReverse() {
    return XYDiagonal(*this, true, PoleDipoleReverse, PoleDipoleForward, DepthTo::YThenX);
}

std::int32_t TElectSequence::ComputeCrossDiagonalPolePole() {
    return XYDiagonal(*this, false, PolePole, PolePole, DepthTo::Y);
}
