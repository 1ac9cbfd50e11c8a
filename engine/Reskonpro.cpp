#include "engine/Reskonpro.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

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

namespace {
// Electrodes below the surface (Z is the depth): the ground's upper boundary acts as a mirror, so
// each current electrode has an image as far above the surface as it lies below, and the
// potential at M from A is 1/AM + 1/AM' over 4 pi (AM' from M to the image of A).
long double BuriedGeometricFactor(const TElectrodeXYZ p[4]) {
    auto inverse = [](const TElectrodeXYZ& current, const TElectrodeXYZ& potential, bool image) {
        const long double dx = static_cast<long double>(current.X) - potential.X;
        const long double dy = static_cast<long double>(current.Y) - potential.Y;
        const long double dz = image ? -static_cast<long double>(current.Z) - potential.Z
                                     : static_cast<long double>(current.Z) - potential.Z;
        const long double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        return d != 0 ? 1.0L / d : 0.0L;  // a zero distance contributes nothing
    };
    auto pair = [&](int current, int potential) {
        return inverse(p[current], p[potential], false) + inverse(p[current], p[potential], true);
    };
    enum { A, B, M, N };
    const long double am = pair(A, M), an = pair(A, N), bm = pair(B, M), bn = pair(B, N);
    if (am + an + bm + bn == 0) return 1.0L;
    const long double den = am - an - bm + bn;
    if (den == 0) return 1.0L;
    return 4 * std::numbers::pi_v<long double> / den;
}
}  // namespace

long double TReskonPro::GetGeometricFactor(int q, const TElectrodeXYZ remote[4]) const {
    if (q < 0 || q >= kMaxQuadripoles) return 1.0L;
    const TQuadripole& e = Quadripoles[q];
    const std::uint16_t numbers[4] = {e.A, e.B, e.M, e.N};
    TElectrodeXYZ p[4];
    for (int k = 0; k < 4; ++k) {
        const unsigned n = numbers[k];
        if (n == 0)
            p[k] = remote[k];
        else if (n < static_cast<unsigned>(kMaxElectrodes))
            p[k] = Electrodes[n];
        else
            p[k] = TElectrodeXYZ{kUnusedNode, kUnusedNode, kUnusedNode};
    }
    if (std::any_of(p, p + 4, [](const TElectrodeXYZ& e) { return e.Z > 0; })) return BuriedGeometricFactor(p);

    // Inverse distance held as f32; a zero distance contributes nothing.
    auto inverse = [](const TElectrodeXYZ& u, const TElectrodeXYZ& v) {
        const long double dx = static_cast<long double>(u.X) - v.X, dy = static_cast<long double>(u.Y) - v.Y,
                          dz = static_cast<long double>(u.Z) - v.Z;
        const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
        return d != 0 ? static_cast<float>(1.0L / d) : 0.0f;
    };
    const float an = inverse(p[0], p[3]), am = inverse(p[0], p[2]);
    const float bn = inverse(p[1], p[3]), bm = inverse(p[1], p[2]);
    if (static_cast<long double>(am) + an + bm + bn == 0) return 1.0L;
    const long double den = static_cast<long double>(am) - an - bm + bn;
    if (den == 0) return 1.0L;
    return 6.283185307179586L / den;
}
