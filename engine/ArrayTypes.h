#pragma once
// What each array type is: one row per entry of the window's two array lists (line and
// surface grids, borehole grids). Everything that depends on the array type reads its row, so
// a new array type is a new row, its generator and its tests.
#include <cstdint>
#include <span>

#include "engine/Electsequence.h"

// The remote electrode slots: TElectSequence::RemoteElectrodes[role] for electrode number 0.
enum TRemoteRole : int { kRemoteA = 0, kRemoteB = 1, kRemoteM = 2, kRemoteN = 3 };

// The remote electrodes an array places by hand (electrode 0 in those slots).
enum TRemoteElectrodes : std::uint8_t {
    reNone,
    reA,   // the pole-dipole kinds: A only
    reAB,  // gradient: A and B
    reAN,  // the pole-pole kinds: A and N, with M kept on N
};

// The investigation depth of one generated quadripole; imported ones always take drGeneric.
enum TDepthRule : std::uint8_t {
    drGeneric,         // from the distances alone
    drDipoleDipole,    // dipole-dipole polynomial of min(AM, BM) / MN, times MN
    drPoleDipole,      // pole-dipole polynomial of Dmin / MN, times MN
    drPoleDipoleOnAB,  // pole-dipole polynomial of Dmin / AB, times AB
    drWenner,          // 0.519 x Dmin
    drPolePole,        // 0.867 x Dmin
};

// How many positions of the depth-level cell (a, n) fit on a row of N electrodes.
enum TCellFitRule : std::uint8_t {
    cfOneSpacing,          // a = 1: N - n; a > 1: none
    cfDipoleDipole,        // N - 2a - n
    cfEquatorial,          // N - n, along Y only for a = 1
    cfPoleDipole,          // N - a - n
    cfWenner,              // a = 1: N - 3n; a > 1: none
    cfWennerSchlumberger,  // N - a - 2n
    cfMultiGradient,       // N - (n + 2) a
    cfBorehole,            // N - 2
};

// The median depth of the depth-level cell (a, n); L = n d, s = a d, r = n / a.
enum TCellDepthRule : std::uint8_t {
    cdSpread,         // (2r + 1) x s x 0.19
    cdDipoleDipole,   // dipole-dipole polynomial of r, times s
    cdPoleDipole,     // pole-dipole polynomial of r, times s
    cdWenner,         // 0.519 x L
    cdGradient,       // 0.19 x L
    cdPolePole,       // 0.867 x L
    cdMultiGradient,  // pole-dipole polynomial of (n + 1) / 2, times s
};

// The default selection of the depth-level grid.
enum TLevelRule : std::uint8_t {
    lrSixPerSpacing,      // six levels a spacing coefficient, each row starting five further
    lrOneSpacing,         // every level but the last, from level 1
    lrAutoCreationLevel,  // the one level of the automatic multigradient set-up in each row
};

using TGenerator = std::int32_t (TElectSequence::*)();

// The meter code of an index that no list holds: the meter keeps the code it had.
constexpr std::int32_t kKeepMeterCode = -1;

struct TArrayTypeInfo {
    std::int32_t Type;             // its index in its list, the value of TElectGrid::ArrayType
    const char* Label;             // the list's text
    std::int32_t MeterCode;        // TReskonPro::DeviceArrayCode, or kKeepMeterCode
    unsigned SecondModelCode;      // the second meter model's array code
    std::int32_t ChannelLimit;     // the most channels one injection may measure
    TRemoteElectrodes Remotes;
    bool FixedVab;                 // choosing it switches the injection to a fixed Vab
    TDepthRule Depth;
    TCellFitRule CellFit;
    TCellDepthRule CellDepth;
    TLevelRule Levels;
    TGenerator Generator;          // nullptr: none, the list stays as it is (mixed array)
    TGenerator DelPolarGenerator;  // the polarisation variant, where there is one
};

// The rows of the window's array lists, in list order (row i has Type i).
std::span<const TArrayTypeInfo> SurfaceArrayTypes();
std::span<const TArrayTypeInfo> BoreholeArrayTypes();

// The row of index t in the surface list. An index it does not hold reads as an unknown
// array (no generator, the generic rules, the meter keeps its code).
const TArrayTypeInfo& SurfaceArrayType(std::int32_t t);
// The row of the grid's array type in the list of its grid type. A borehole grid holding an
// index beyond its own list keeps the rules of that index in the surface list, with the
// borehole's meter code, channels and depth cells and no generator.
const TArrayTypeInfo& ArrayTypeOf(const TElectGrid& g);

// The second remote electrode the window edits: B for an array with remote A and B, else N.
constexpr TRemoteRole SecondRemoteRole(TRemoteElectrodes r) { return r == reAB ? kRemoteB : kRemoteN; }
