// The table of array types: each row says everything the program does differently for one
// entry of the window's array lists.
#include "engine/ArrayTypes.h"

#include <array>
#include <iterator>
#include <utility>

namespace {
using S = TElectSequence;

// The meter's own code for an array it has no special mode for.
constexpr std::int32_t kMeterOther = 7;
// The second model's "non convent." array code.
constexpr unsigned kSecondModelOther = 11;
constexpr std::int32_t kChannels = 20;     // the meter's channel count
constexpr std::int32_t kOneChannel = 1;    // arrays whose electrodes allow no second channel

// Columns: type, label, meter code, second-model code, channel limit, remote electrodes,
// fixed Vab, quadripole depth, cell fit, cell depth, default levels, generator, polarisation variant.
constexpr TArrayTypeInfo kSurface[] = {
    {atMixed, "mixed array", kMeterOther, kSecondModelOther, kChannels, reNone, false,
     drGeneric, cfOneSpacing, cdSpread, lrSixPerSpacing, nullptr, nullptr},
    {atDipoleDipole, "dipole-dipole", 1, 1, kChannels, reNone, false,
     drDipoleDipole, cfDipoleDipole, cdDipoleDipole, lrSixPerSpacing, &S::ComputeDipoleDipole, nullptr},
    {atDipoleDipoleEquatorial, "dipole-dipole equatorial", kMeterOther, 9, kChannels, reNone, false,
     drGeneric, cfEquatorial, cdSpread, lrSixPerSpacing, &S::ComputeDipoleDipoleEquatorial, nullptr},
    {atPoleDipoleForward, "pole-dipole forward", 2, 2, kChannels, reA, false,
     drPoleDipole, cfPoleDipole, cdPoleDipole, lrSixPerSpacing, &S::ComputePoleDipoleForward, nullptr},
    {atPoleDipoleReverse, "pole-dipole reverse", 2, 12, kChannels, reA, false,
     drPoleDipole, cfPoleDipole, cdPoleDipole, lrSixPerSpacing, &S::ComputePoleDipoleReverse, nullptr},
    {atWenner, "Wenner", 4, 4, kOneChannel, reNone, false,
     drWenner, cfWenner, cdWenner, lrOneSpacing, &S::ComputeWenner, &S::ComputeWennerDelPolar},
    {atWennerSchlumberger, "Wenner-Schlumberger", 5, 5, kOneChannel, reNone, false,
     drPoleDipole, cfWennerSchlumberger, cdPoleDipole, lrSixPerSpacing, &S::ComputeWennerSchlumberger,
     &S::ComputeWennerSchlumbergerDelPolar},
    {atWSReciprocal, "WS reciprocal", kMeterOther, 13, kChannels, reNone, false,
     drPoleDipoleOnAB, cfWennerSchlumberger, cdPoleDipole, lrSixPerSpacing, &S::ComputeWSReciprocal, nullptr},
    {atGradient, "gradient", 6, 6, kChannels, reAB, false,
     drGeneric, cfOneSpacing, cdGradient, lrOneSpacing, &S::ComputeGradient, nullptr},
    {atCompletePolePole, "complete pole-pole", 8, 8, kChannels, reAN, true,
     drPolePole, cfOneSpacing, cdPolePole, lrOneSpacing, &S::ComputeCompletePolePole, nullptr},
    {atCrossDiagonalPolePole, "cross-diagonal pole-pole", 8, 8, kChannels, reAN, true,
     drPolePole, cfOneSpacing, cdPolePole, lrOneSpacing, &S::ComputeCrossDiagonalPolePole, nullptr},
    {atMultiGradient, "multigradient", kMeterOther, 14, kChannels, reNone, false,
     drPoleDipole, cfMultiGradient, cdMultiGradient, lrAutoCreationLevel, &S::ComputeMultiGradient, nullptr},
    {atCrossDiagonalDipoleDipole, "cross-diagonal dipole-dipole", kMeterOther, 1, kChannels, reNone, false,
     drDipoleDipole, cfDipoleDipole, cdDipoleDipole, lrSixPerSpacing, &S::ComputeCrossDiagonalDipoleDipole, nullptr},
    {atCrossDiagonalPoleDipoleForward, "cross-diagonal pole-dipole forward", 2, 2, kChannels, reA, false,
     drPoleDipole, cfPoleDipole, cdPoleDipole, lrSixPerSpacing, &S::ComputeCrossDiagonalPoleDipoleForward, nullptr},
    {atCrossDiagonalPoleDipoleReverse, "cross-diagonal pole-dipole reverse", 2, 12, kChannels, reA, false,
     drPoleDipole, cfPoleDipole, cdPoleDipole, lrSixPerSpacing, &S::ComputeCrossDiagonalPoleDipoleReverse, nullptr},
};

// On a borehole the meter has one code and every depth cell has the same rules; the quadripole
// depth and the second model's code are those of the same index in the surface list.
constexpr TArrayTypeInfo kBorehole[] = {
    {atMixed, "mixed array", kMeterOther, kSecondModelOther, kChannels, reNone, false,
     drGeneric, cfBorehole, cdSpread, lrSixPerSpacing, nullptr, nullptr},
    {batDipoleDipoleDiagonal, "dipole-dipole diagonal", kMeterOther, 1, kChannels, reNone, false,
     drDipoleDipole, cfBorehole, cdSpread, lrSixPerSpacing, &S::ComputeBoreholeDipoleDipoleDiagonal, nullptr},
    {batDipoleDipoleEquatorial, "dipole-dipole equatorial", kMeterOther, 9, kChannels, reNone, false,
     drGeneric, cfBorehole, cdSpread, lrSixPerSpacing, &S::ComputeBoreholeDipoleDipoleEquatorial, nullptr},
};

// An index of no list, on a line or surface grid.
constexpr TArrayTypeInfo kUnknownSurface = {-1, "", kKeepMeterCode, kSecondModelOther, kChannels, reNone, false,
                                            drGeneric, cfOneSpacing, cdSpread, lrSixPerSpacing, nullptr, nullptr};

// Row i holds type i: the lists' indices are the stored array types.
template <std::size_t N>
constexpr bool InListOrder(const TArrayTypeInfo (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (rows[i].Type != static_cast<std::int32_t>(i)) return false;
    return true;
}
static_assert(InListOrder(kSurface) && std::size(kSurface) == atLastArrayType + 1);
static_assert(InListOrder(kBorehole) && std::size(kBorehole) == batDipoleDipoleEquatorial + 1);

// A borehole grid can hold an index of the surface list only (a surface layout switched to
// a borehole, a file written so): the meter code, the channels, the depth cells and "no
// generator" are the borehole's, everything else stays that surface array's, as before the table.
constexpr TArrayTypeInfo OnBorehole(TArrayTypeInfo surface) {
    surface.MeterCode = kMeterOther;
    surface.ChannelLimit = kChannels;
    surface.CellFit = cfBorehole;
    surface.CellDepth = cdSpread;
    surface.Generator = nullptr;
    surface.DelPolarGenerator = nullptr;
    return surface;
}

template <std::size_t... I>
constexpr auto SurfaceOnBorehole(std::index_sequence<I...>) {
    return std::array<TArrayTypeInfo, sizeof...(I)>{OnBorehole(kSurface[I])...};
}
constexpr auto kSurfaceOnBorehole = SurfaceOnBorehole(std::make_index_sequence<std::size(kSurface)>());
constexpr TArrayTypeInfo kUnknownOnBorehole = OnBorehole(kUnknownSurface);

template <std::size_t N>
const TArrayTypeInfo* Row(const TArrayTypeInfo (&rows)[N], std::int32_t t) {
    return t >= 0 && static_cast<std::size_t>(t) < N ? &rows[t] : nullptr;
}
}  // namespace

std::span<const TArrayTypeInfo> SurfaceArrayTypes() { return kSurface; }

std::span<const TArrayTypeInfo> BoreholeArrayTypes() { return kBorehole; }

const TArrayTypeInfo& SurfaceArrayType(std::int32_t t) {
    const TArrayTypeInfo* row = Row(kSurface, t);
    return row ? *row : kUnknownSurface;
}

const TArrayTypeInfo& ArrayTypeOf(const TElectGrid& g) {
    if (g.GridType != gtBorehole) return SurfaceArrayType(g.ArrayType);
    if (const TArrayTypeInfo* row = Row(kBorehole, g.ArrayType)) return *row;
    if (g.ArrayType >= 0 && static_cast<std::size_t>(g.ArrayType) < kSurfaceOnBorehole.size())
        return kSurfaceOnBorehole[static_cast<std::size_t>(g.ArrayType)];
    return kUnknownOnBorehole;
}
