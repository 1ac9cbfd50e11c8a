#pragma once
// The meter's own image of a sequence: header, electrode table, quadripole table.
// The byte layout is the .sds file and the upload format: sizes and offsets are binding.
#include <bit>
#include <cstddef>
#include <cstdint>

constexpr int kMaxElectrodes = 1320;    // electrode numbers 0..1319
constexpr int kMaxQuadripoles = 16000;
constexpr std::uint32_t kRecordVersion = 0x29040001;

constexpr float kNoElectrode = 99999.99f;     // unplaced entry / unset remote electrode (0x47C34FFF)
constexpr float kUnusedNode = 16777216.0f;    // grid-derived coordinate of an unused node (0x4B800000)
constexpr float kNoInfo = 999999.0f;          // unset quadripole information (0x497423F0)
constexpr float kChartNull = 99999.0f;        // null chart point

// The records below are byte images of files and of what the meter receives, laid out
// little-endian: they are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little);
#pragma pack(push, 1)

struct TElectrodeXYZ {
    float X;
    float Y;
    float Z;
};
static_assert(sizeof(TElectrodeXYZ) == 12);

struct TQuadripole {
    std::uint16_t A;
    std::uint16_t B;
    std::uint16_t M;
    std::uint16_t N;
};
static_assert(sizeof(TQuadripole) == 8);

struct TReskonPro {
    // --- 136-byte header ---
    std::int32_t Channels;
    std::int32_t HeaderWord4;
    std::int32_t HeaderWord8;
    std::int32_t StackMin;
    std::int32_t StackMax;
    float QMax;
    std::uint8_t Byte24;   // bits 0-4 kept, bits 5-7 VmnChoice
    std::uint8_t Byte25;   // bits 0-2 TimeIndex, bits 3-5 IPMode, bits 6-7 kept
    std::uint8_t Byte26;   // bits 0-1 RhoMode, bits 2-3 AuxMode, bits 4-7 VabChoice
    std::uint8_t VabMax10;
    std::int32_t DeviceArrayCode;
    std::uint16_t IPTiming[23];
    std::uint8_t Pad78[2];
    std::int32_t HeaderWord80;
    std::int32_t HeaderWord84;
    std::int32_t HeaderWord88;
    char SeqName[10];
    std::uint8_t SeqNameEnd;
    std::uint8_t HeaderByte103;
    std::int32_t HeaderWord104;
    std::int32_t FirstQuadripole;
    std::int32_t LastQuadripole;
    std::int32_t ElectrodeCount;
    std::int32_t FirstElectrode;
    std::int32_t LastElectrode;
    float ElectrodeSpacing;
    std::int32_t SpacingLevelTotal;
    // --- tables ---
    TElectrodeXYZ Electrodes[kMaxElectrodes];
    TQuadripole Quadripoles[kMaxQuadripoles];
    std::int32_t TrailerWord;

    TReskonPro();
    void ClearQuadripoles();
    void ClearElectrodes();
    void Clear();
    // K of quadripole q; remote = positions of the remote A, B, M, N (electrode number 0). With
    // every electrode at the surface the half-space formula, else the one with image sources.
    long double GetGeometricFactor(int q, const TElectrodeXYZ remote[4]) const;

    // Bit fields of header bytes 24..26. Every write keeps the bits that it does not own.
    unsigned VmnChoice() const { return Byte24 >> 5; }
    void SetVmnChoice(unsigned v) { Byte24 = std::uint8_t((Byte24 & 0x1F) | ((v & 7u) << 5)); }
    unsigned TimeIndex() const { return Byte25 & 7u; }
    void SetTimeIndex(unsigned v) { Byte25 = std::uint8_t((Byte25 & ~7u) | (v & 7u)); }
    unsigned IPMode() const { return (Byte25 >> 3) & 7u; }
    void SetIPMode(unsigned v) { Byte25 = std::uint8_t((Byte25 & ~0x38u) | ((v & 7u) << 3)); }
    unsigned RhoMode() const { return Byte26 & 3u; }
    void SetRhoMode(unsigned v) { Byte26 = std::uint8_t((Byte26 & ~3u) | (v & 3u)); }
    unsigned AuxMode() const { return (Byte26 >> 2) & 3u; }
    void SetAuxMode(unsigned v) { Byte26 = std::uint8_t((Byte26 & ~0x0Cu) | ((v & 3u) << 2)); }
    unsigned VabChoice() const { return Byte26 >> 4; }
    void SetVabChoice(unsigned v) { Byte26 = std::uint8_t((Byte26 & 0x0Fu) | ((v & 15u) << 4)); }
};

#pragma pack(pop)

constexpr std::size_t kDeviceHeaderSize = 136;
static_assert(sizeof(TReskonPro) == 143980);
static_assert(offsetof(TReskonPro, Channels) == 0);
static_assert(offsetof(TReskonPro, HeaderWord4) == 4);
static_assert(offsetof(TReskonPro, HeaderWord8) == 8);
static_assert(offsetof(TReskonPro, StackMin) == 12);
static_assert(offsetof(TReskonPro, StackMax) == 16);
static_assert(offsetof(TReskonPro, QMax) == 20);
static_assert(offsetof(TReskonPro, Byte24) == 24);
static_assert(offsetof(TReskonPro, Byte25) == 25);
static_assert(offsetof(TReskonPro, Byte26) == 26);
static_assert(offsetof(TReskonPro, VabMax10) == 27);
static_assert(offsetof(TReskonPro, DeviceArrayCode) == 28);
static_assert(offsetof(TReskonPro, IPTiming) == 32);
static_assert(offsetof(TReskonPro, Pad78) == 78);
static_assert(offsetof(TReskonPro, HeaderWord80) == 80);
static_assert(offsetof(TReskonPro, HeaderWord84) == 84);
static_assert(offsetof(TReskonPro, HeaderWord88) == 88);
static_assert(offsetof(TReskonPro, SeqName) == 92);
static_assert(offsetof(TReskonPro, SeqNameEnd) == 102);
static_assert(offsetof(TReskonPro, HeaderByte103) == 103);
static_assert(offsetof(TReskonPro, HeaderWord104) == 104);
static_assert(offsetof(TReskonPro, FirstQuadripole) == 108);
static_assert(offsetof(TReskonPro, LastQuadripole) == 112);
static_assert(offsetof(TReskonPro, ElectrodeCount) == 116);
static_assert(offsetof(TReskonPro, FirstElectrode) == 120);
static_assert(offsetof(TReskonPro, LastElectrode) == 124);
static_assert(offsetof(TReskonPro, ElectrodeSpacing) == 128);
static_assert(offsetof(TReskonPro, SpacingLevelTotal) == 132);
static_assert(offsetof(TReskonPro, Electrodes) == kDeviceHeaderSize);
static_assert(offsetof(TReskonPro, Quadripoles) == 15976);
static_assert(offsetof(TReskonPro, TrailerWord) == 143976);
