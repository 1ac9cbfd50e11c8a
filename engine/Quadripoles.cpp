// The quadripole list: storing, inserting, deleting and moving entries with their display
// records, pseudo-section positions, investigation depths and multi-channel chains.
#include <cmath>
#include <cstring>

#include "engine/ArrayTypes.h"
#include "engine/Electsequence.h"

namespace {
// An electrode number beyond the table reads as an unused node instead of foreign memory.
const TElectrodeXYZ& ElectrodeAt(const TReskonPro& d, std::uint32_t k) {
    static const TElectrodeXYZ outside{kUnusedNode, kUnusedNode, kUnusedNode};
    return k < static_cast<std::uint32_t>(kMaxElectrodes) ? d.Electrodes[k] : outside;
}

bool InTable(int q) { return q >= 0 && q < kMaxQuadripoles; }

long double DipoleDipole(long double r) { return (-0.0018333L * r + 0.27642L) * r + 0.1416933L; }
long double PoleDipole(long double r) { return (-0.000915179L * r + 0.397614583L) * r + 0.127613095L; }

// polynomial(d / length) x length, r held as f32. A length of 0 (both electrodes of a dipole on
// one point) has no depth to give: 0 rather than the NaN of 0 x infinity. Past its root (a
// dipole far shorter than its distance to the other electrodes) the fitted polynomial turns
// negative, and a depth of investigation never lies above the surface: 0 there too.
template <typename Polynomial>
long double RatioRule(Polynomial polynomial, float d, float length) {
    if (length == 0) return 0;
    const float r = static_cast<float>(static_cast<long double>(d) / length);
    const long double p = polynomial(r);
    return p > 0 ? p * length : 0;
}

float PlaneDistance(float x1, float y1, float x2, float y2) {
    const long double dx = static_cast<long double>(x1) - x2, dy = static_cast<long double>(y1) - y2;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

// Midpoint of the present electrodes of one dipole along one coordinate; 0 when neither is.
float DipoleCentre(float c1, bool has1, float c2, bool has2) {
    long double c = 0;
    if (has1) c += c1;
    if (has2) c += c2;
    if (has1 && has2) c *= 0.5L;
    return static_cast<float>(c);
}

template <typename Coord>
long double Pseudo(const TReskonPro& d, const std::uint32_t abmn[4], Coord coord) {
    const float c = DipoleCentre(coord(ElectrodeAt(d, abmn[0])), abmn[0] != 0, coord(ElectrodeAt(d, abmn[1])),
                                 abmn[1] != 0);
    const float p = DipoleCentre(coord(ElectrodeAt(d, abmn[2])), abmn[2] != 0, coord(ElectrodeAt(d, abmn[3])),
                                 abmn[3] != 0);
    return c + (static_cast<long double>(p) - c) * 0.5L;
}

bool SameChainStep(const TQuadripole& prev, const TQuadripole& next) {
    return next.A == prev.A && next.B == prev.B && next.M == prev.N;
}
}  // namespace

void TElectSequence::GetQuadripole(int q, std::uint32_t abmn[4]) const {
    if (!InTable(q)) {
        abmn[0] = abmn[1] = abmn[2] = abmn[3] = 0;
        return;
    }
    const TQuadripole& e = Device.Quadripoles[q];
    abmn[0] = e.A;
    abmn[1] = e.B;
    abmn[2] = e.M;
    abmn[3] = e.N;
}

long double TElectSequence::GetPseudoX(const std::uint32_t abmn[4]) const {
    return Pseudo(Device, abmn, [](const TElectrodeXYZ& e) { return e.X; });
}

long double TElectSequence::GetPseudoY(const std::uint32_t abmn[4]) const {
    return Pseudo(Device, abmn, [](const TElectrodeXYZ& e) { return e.Y; });
}

long double TElectSequence::GetPseudoZ(const std::uint32_t abmn[4]) const {
    return Pseudo(Device, abmn, [](const TElectrodeXYZ& e) { return e.Z; });
}

float TElectSequence::GetInvestigationDepth(const std::uint32_t abmn[4], bool generic) const {
    const bool borehole = Grid.GridType == gtBorehole;
    float x[4], y[4];
    for (int k = 0; k < 4; ++k) {
        const TElectrodeXYZ& e = ElectrodeAt(Device, abmn[k]);
        x[k] = e.X;
        y[k] = borehole ? e.Z : e.Y;
    }
    enum { A, B, M, N };
    const float am = PlaneDistance(x[A], y[A], x[M], y[M]);
    const float bm = PlaneDistance(x[B], y[B], x[M], y[M]);
    const float an = PlaneDistance(x[A], y[A], x[N], y[N]);
    const float bn = PlaneDistance(x[B], y[B], x[N], y[N]);
    const float mn = PlaneDistance(x[M], y[M], x[N], y[N]);
    const float ab = PlaneDistance(x[A], y[A], x[B], y[B]);

    float dmin = am;
    for (float v : {bn, bm, an})
        if (v != 0 && (v < dmin || dmin == 0)) dmin = v;

    long double depth = 0;
    const TDepthRule rule = generic ? drGeneric : ArrayTypeOf(Grid).Depth;
    switch (rule) {
        case drDipoleDipole:
            depth = RatioRule(DipoleDipole, am < bm ? am : bm, mn);
            break;
        case drPoleDipole:
            depth = RatioRule(PoleDipole, dmin, mn);
            break;
        case drWenner: depth = 0.519L * dmin; break;
        case drPoleDipoleOnAB: depth = RatioRule(PoleDipole, dmin, ab); break;
        case drPolePole: depth = 0.867L * dmin; break;
        case drGeneric: break;
    }
    if (rule == drGeneric) {
        const long double far = 15.0L * dmin;
        if (far < ab && far < mn) {
            depth = 0.867L * dmin;  // both far electrodes act as remote ones
        } else if (far < ab && mn < far) {
            depth = RatioRule(PoleDipole, dmin, mn);
        } else {
            float big = am > bn ? am : bn;
            for (float v : {an, bm, ab, mn})
                if (v > big) big = v;
            if (ab == 0) big = mn;
            depth = big > 10.0L * dmin ? 0.19L * dmin : 0.19L * big;
        }
    }
    return static_cast<float>(depth);
}

void TElectSequence::SetQuadripole(int q, const std::uint32_t abmn[4], std::int32_t n, std::int32_t a,
                                   std::uint16_t group, std::uint16_t number) {
    if (!InTable(q)) return;
    TQuadripole& e = Device.Quadripoles[q];
    e.A = static_cast<std::uint16_t>(abmn[0]);
    e.B = static_cast<std::uint16_t>(abmn[1]);
    e.M = static_cast<std::uint16_t>(abmn[2]);
    e.N = static_cast<std::uint16_t>(abmn[3]);

    TQuadripoleInfo& info = QuadInfo[q];
    info.X = static_cast<float>(GetPseudoX(abmn));
    const bool generic = n < 1;
    if (Grid.GridType != gtBorehole) {
        info.Y = static_cast<float>(GetPseudoY(abmn));
        info.Depth = GetInvestigationDepth(abmn, generic);
    } else {
        info.Y = 0.0f;
        const float za = ElectrodeAt(Device, abmn[0]).Z;
        const bool level = ElectrodeAt(Device, abmn[1]).Z == za && ElectrodeAt(Device, abmn[2]).Z == za &&
                           ElectrodeAt(Device, abmn[3]).Z == za;
        info.Depth = level ? -GetInvestigationDepth(abmn, generic) : -static_cast<float>(GetPseudoZ(abmn));
    }
    info.Level = static_cast<std::int16_t>(n);
    info.SpacingCoef = static_cast<std::uint16_t>(a);
    info.Group = a >= 1 ? static_cast<std::uint16_t>(a) : group;
    info.Number = number != 0 ? number : static_cast<std::uint16_t>(q + 1);
}

void TElectSequence::InsertQuadripole(int q, const std::uint32_t abmn[4], std::int32_t n, std::int32_t a,
                                      std::uint16_t group, std::uint16_t number) {
    const int count = QuadripoleCount();
    if (count >= kMaxQuadripoles || q < 0 || q > count) return;
    for (int i = count - 1; i >= q; --i) {
        Device.Quadripoles[i + 1] = Device.Quadripoles[i];
        QuadInfo[i + 1] = QuadInfo[i];
    }
    SetQuadripole(q, abmn, n, a, group, number);
    ++Device.LastQuadripole;
    Device.FirstQuadripole = 0;
}

void TElectSequence::DeleteQuadripole(int q) {
    const int last = Device.LastQuadripole;
    if (q < 0 || q > last) return;
    for (int i = q; i < last; ++i) {
        Device.Quadripoles[i] = Device.Quadripoles[i + 1];
        QuadInfo[i] = QuadInfo[i + 1];
    }
    --Device.LastQuadripole;
    Device.FirstQuadripole = 0;
}

void TElectSequence::MoveQuadripole(int to, int from) {
    // Only moves towards the front are asked for; anything else leaves the list alone.
    if (to >= from || to < 0 || !InTable(from)) return;
    const TQuadripole e = Device.Quadripoles[from];
    const TQuadripoleInfo info = QuadInfo[from];
    for (int i = from; i > to; --i) {
        Device.Quadripoles[i] = Device.Quadripoles[i - 1];
        QuadInfo[i] = QuadInfo[i - 1];
    }
    Device.Quadripoles[to] = e;
    QuadInfo[to] = info;
}

void TElectSequence::SwapMN(int q) {
    if (!InTable(q)) return;
    TQuadripole& e = Device.Quadripoles[q];
    std::swap(e.M, e.N);
}

void TElectSequence::ReverseQuadripoles() {
    for (int q = 0; q <= Device.LastQuadripole && q < kMaxQuadripoles; ++q) {
        TQuadripole& e = Device.Quadripoles[q];
        e = TQuadripole{e.M, e.N, e.A, e.B};
    }
}

std::int32_t TElectSequence::GetChannelGroupSize(int q) {
    std::int32_t size = 1;
    if (!InTable(q)) return size;
    for (int i = q; i < Device.LastQuadripole && i + 1 < kMaxQuadripoles &&
                    SameChainStep(Device.Quadripoles[i], Device.Quadripoles[i + 1]) && size < CheckChannel();
         ++i)
        ++size;
    return size;
}

void TElectSequence::CountMeasurements() {
    MeasurementCycles = 1;
    MaxChannelUsed = 1;
    std::int32_t chain = 1;
    const int last = Device.LastQuadripole < kMaxQuadripoles ? Device.LastQuadripole : kMaxQuadripoles - 1;
    for (int i = 0; i < last; ++i) {
        const TQuadripole& next = Device.Quadripoles[i + 1];
        bool continues = SameChainStep(Device.Quadripoles[i], next) && chain < CheckChannel();
        // A potential electrode may not be measured twice in one injection.
        if (continues && next.N != 0)
            for (int j = i + 1 - chain; j <= i; ++j)
                if (Device.Quadripoles[j].M == next.N) {
                    continues = false;
                    break;
                }
        if (continues) {
            ++chain;
            if (chain > MaxChannelUsed) MaxChannelUsed = chain;
        } else {
            ++MeasurementCycles;
            chain = 1;
        }
    }
    Device.SpacingLevelTotal = GetSpacingLevelCount();
}
