#pragma once
// The .sds file: the meter's image of one sequence as it reads it from a memory card.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/Reskonpro.h"

constexpr std::size_t kSdCardFileSize = 144048;
constexpr int kSdCardNameLength = 19;            // characters of the name field, then zeros
constexpr std::uint16_t kGapFillerFlag = 0x8000; // bit 15 of A marks a gap filler

// The records below are byte images of files and of what the meter receives, laid out
// little-endian: they are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little);
#pragma pack(push, 1)

struct TSdCardRecord {
    std::uint32_t Version;
    char FileName[20];                          // without folder, zero-filled
    std::uint8_t Header[kDeviceHeaderSize];     // the device header byte for byte
    TElectrodeXYZ Electrodes[kMaxElectrodes];
    TQuadripole Quadripoles[kMaxQuadripoles];   // bit 15 of A set on gap fillers
    TElectrodeXYZ RemoteElectrodes[4];          // remote A, B, M, N
};

#pragma pack(pop)

static_assert(sizeof(TSdCardRecord) == kSdCardFileSize);
static_assert(offsetof(TSdCardRecord, Version) == 0);
static_assert(offsetof(TSdCardRecord, FileName) == 4);
static_assert(offsetof(TSdCardRecord, Header) == 24);
static_assert(offsetof(TSdCardRecord, Electrodes) == 160);
static_assert(offsetof(TSdCardRecord, Quadripoles) == 16000);
static_assert(offsetof(TSdCardRecord, RemoteElectrodes) == 144000);
