#pragma once
// The electrode grid: layout, array type and the node of every electrode number.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/Reskonpro.h"

constexpr int kMaxGridColumns = 1320;  // node map columns (IX 1..1320)
constexpr int kMaxGridRows = 192;      // node map rows (IY 1..192)

enum TGridType : std::int32_t { gtLine = 0, gtSurface = 1, gtBorehole = 2 };

// The array of a line or surface grid: its index in the window's array list and the value of
// TElectGrid::ArrayType. "mixed array" (0) marks an imported list, in the borehole list too,
// and is never generated.
enum TArrayType : std::int32_t {
    atMixed = 0,
    atDipoleDipole = 1,
    atDipoleDipoleEquatorial = 2,
    atPoleDipoleForward = 3,
    atPoleDipoleReverse = 4,
    atWenner = 5,
    atWennerSchlumberger = 6,
    atWSReciprocal = 7,
    atGradient = 8,
    atCompletePolePole = 9,
    atCrossDiagonalPolePole = 10,
    atMultiGradient = 11,
    atCrossDiagonalDipoleDipole = 12,
    atCrossDiagonalPoleDipoleForward = 13,
    atCrossDiagonalPoleDipoleReverse = 14,
    atLastArrayType = atCrossDiagonalPoleDipoleReverse,
};

// The array of a borehole grid: its index in the window's borehole array list (0 is atMixed).
enum TBoreholeArrayType : std::int32_t { batDipoleDipoleDiagonal = 1, batDipoleDipoleEquatorial = 2 };

// The records below are byte images of files and of what the meter receives, laid out
// little-endian: they are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little);
#pragma pack(push, 1)

struct TElectGridNode {
    std::int32_t Used;  // 1 = an electrode of this number is placed
    std::int32_t IX;    // 1-based column
    std::int32_t IY;    // 1-based row
};
static_assert(sizeof(TElectGridNode) == 12);

struct TElectGrid {
    std::uint32_t Version;
    std::int32_t GridType;
    float DX;
    float OffsetX;
    std::int32_t NX;
    float DY;
    float OffsetY;
    std::int32_t NY;
    std::int32_t FirstElectrode;
    std::int32_t LastElectrode;
    std::int32_t ElectrodeCount;
    std::uint8_t Duplicates;
    std::uint8_t Pad45[3];
    std::int32_t ArrayType;
    TElectGridNode Nodes[kMaxElectrodes];

    TElectGrid();
    // X of node column ix (1-based), as the electrode positions are computed.
    float ColumnX(std::int32_t ix) const;
    // X of the first and the last node column that holds an electrode; false when none does.
    bool UsedXExtent(float& first, float& last) const;
};

#pragma pack(pop)

static_assert(sizeof(TElectGrid) == 15892);
static_assert(offsetof(TElectGrid, Version) == 0);
static_assert(offsetof(TElectGrid, GridType) == 4);
static_assert(offsetof(TElectGrid, DX) == 8);
static_assert(offsetof(TElectGrid, OffsetX) == 12);
static_assert(offsetof(TElectGrid, NX) == 16);
static_assert(offsetof(TElectGrid, DY) == 20);
static_assert(offsetof(TElectGrid, OffsetY) == 24);
static_assert(offsetof(TElectGrid, NY) == 28);
static_assert(offsetof(TElectGrid, FirstElectrode) == 32);
static_assert(offsetof(TElectGrid, LastElectrode) == 36);
static_assert(offsetof(TElectGrid, ElectrodeCount) == 40);
static_assert(offsetof(TElectGrid, Duplicates) == 44);
static_assert(offsetof(TElectGrid, Pad45) == 45);
static_assert(offsetof(TElectGrid, ArrayType) == 48);
static_assert(offsetof(TElectGrid, Nodes) == 52);
