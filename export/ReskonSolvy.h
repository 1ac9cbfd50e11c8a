#pragma once
// The second meter model's acquisition configuration for one sequence, and its .sqt file.
// The 272-byte block is at once the registry value "ConfigSolvy" and bytes 4..275 of the
// file: its layout is binding.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Electsequence.h"

class TSolvyConfigStore;

constexpr std::size_t kSolvyConfigSize = 272;
constexpr std::size_t kSolvyPresetSize = 144;   // presets cover block bytes 0..143
constexpr int kSolvyTimingWords = 23;           // cycle, V delay, M delay, windows 1..20
constexpr int kSolvyTimes = 6;                  // 8000, 4000, 2000, 1000, 500, 250 ms
constexpr int kSolvyWindowModes = 7;
constexpr int kSolvyArrayNames = 18;
constexpr std::uint32_t kSqtVersion = 0x20000003;
constexpr const char* kSqtExt = ".sqt";
constexpr std::uint32_t kSqtHeaderSize = 10240;
constexpr std::uint32_t kSqtRemoteOffset = 10240;
constexpr std::uint32_t kSqtElectrodeOffset = 10400;

// Window modes of byte 3 bits 3-5.
enum TSolvyWindowMode : unsigned {
    wmArithmetic = 0, wmSemiLog = 1, wmLog = 2, wmColeCole = 3, wmProgrammable = 4,
    wmFullDutyCurrent = 5, wmFullDuty = 6
};
// Configuration kinds of byte 5 bits 6-7.
enum TSolvyKind : unsigned { ckAutoResistivity = 0, ckAutoFastIP = 1, ckAutoStandardIP = 2, ckManual = 3 };

// The records below are byte images of files and of what the meter receives, laid out
// little-endian: they are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little);
#pragma pack(push, 1)

struct TSolvyConfig {
    std::uint8_t Byte0;   // bits 0-2 noise filter and mains
    std::uint8_t Byte1;   // bits 4-7 set transmitter voltage
    std::uint8_t Byte2;   // bits 0-2 input level, 3-5 regulation, 6-7 wave and receiver mode
    std::uint8_t Byte3;   // bits 0-2 injection time, 3-5 window mode
    std::uint8_t Byte4;   // bits 3-5 trigger, bit 7 IP deviation unit
    std::uint8_t Byte5;   // bits 0-5 array code, 6-7 configuration kind
    std::uint8_t Byte6;   // bits 0-2 full-wave recording
    std::uint8_t Byte7;
    std::uint32_t IPTiming[kSolvyTimingWords];   // 10-ms units
    float Current;            // microamperes
    float VabMax;             // volts
    std::uint32_t Channels;
    std::uint32_t StackMin;
    std::uint32_t StackMax;
    double QRMax;             // percent
    double QMMax;             // in the unit of byte 4 bit 7
    std::uint8_t Reserved136[8];
    char Folder[16];
    char FileName[32];
    std::uint16_t MaxChain;
    std::uint8_t Reserved194[6];
    std::uint32_t QuadripoleCount;
    std::uint32_t Word204;
    std::uint32_t FirstQuadripole;
    std::uint32_t LastQuadripole;
    std::uint16_t ElectrodeCount;
    std::uint8_t Reserved218[2];
    std::uint16_t FirstElectrode;
    std::uint8_t Reserved222[2];
    std::uint16_t LastElectrode;
    std::uint8_t Reserved226[2];
    std::uint32_t GapFillers;
    std::uint32_t MeasurementCycles;
    std::uint32_t Word236;
    std::uint32_t Word240;
    float ElectrodeSpacing;
    std::uint32_t Word248;
    std::uint32_t Word252;
    std::uint32_t RemoteOffset;
    std::uint32_t ElectrodeOffset;
    std::uint32_t QuadripoleOffset;
    std::uint32_t Word268;

    // Bit fields. Every write keeps the bits that the field does not own.
    unsigned Filter() const { return Byte0 & 7u; }
    void SetFilter(unsigned v) { Put(Byte0, 0, 3, v); }
    unsigned VabIndex() const { return Byte1 >> 4; }
    void SetVabIndex(unsigned v) { Put(Byte1, 4, 4, v); }
    unsigned InputLevel() const { return Byte2 & 7u; }
    void SetInputLevel(unsigned v) { Put(Byte2, 0, 3, v); }
    unsigned Regulation() const { return (Byte2 >> 3) & 7u; }
    void SetRegulation(unsigned v) { Put(Byte2, 3, 3, v); }
    unsigned WaveMode() const { return Byte2 >> 6; }   // bit 0 = 100 % duty, bit 1 = receiver only
    void SetWaveMode(unsigned v) { Put(Byte2, 6, 2, v); }
    unsigned TimeCode() const { return Byte3 & 7u; }
    void SetTimeCode(unsigned v) { Put(Byte3, 0, 3, v); }
    unsigned WindowMode() const { return (Byte3 >> 3) & 7u; }
    void SetWindowMode(unsigned v) { Put(Byte3, 3, 3, v); }
    unsigned Trigger() const { return (Byte4 >> 3) & 7u; }
    void SetTrigger(unsigned v) { Put(Byte4, 3, 3, v); }
    unsigned DeviationUnit() const { return Byte4 >> 7; }
    void SetDeviationUnit(unsigned v) { Put(Byte4, 7, 1, v); }
    unsigned ArrayCode() const { return Byte5 & 63u; }
    void SetArrayCode(unsigned v) { Put(Byte5, 0, 6, v); }
    unsigned Kind() const { return Byte5 >> 6; }
    void SetKind(unsigned v) { Put(Byte5, 6, 2, v); }
    unsigned FullWave() const { return Byte6 & 7u; }
    void SetFullWave(unsigned v) { Put(Byte6, 0, 3, v); }

private:
    static void Put(std::uint8_t& b, int lo, int width, unsigned v) {
        const unsigned mask = ((1u << width) - 1u) << lo;
        b = std::uint8_t((b & ~mask) | ((v << lo) & mask));
    }
};

// One electrode of the .sqt file (the remote ones and the numbered ones alike).
struct TSqtElectrode {
    double X;
    double Y;
    double Z;
    std::uint32_t Word24;
    std::uint32_t Word28;
    std::uint8_t Flags;       // 0x02
    std::uint8_t Pad33[3];
    std::uint32_t Number;     // bits 0-16
};

struct TSqtQuadripole {
    std::uint32_t A;
    std::uint32_t B;
    std::uint32_t M;
    std::uint32_t N;
    std::uint32_t Flags;      // bit 0: gap filler
    std::uint32_t Word20;
};

// First 2048 bytes of the file; four zero blocks of 2048 bytes follow.
struct TSqtHeader {
    std::uint32_t Version;
    TSolvyConfig Config;
    std::uint8_t Zero[1772];
};

#pragma pack(pop)

static_assert(sizeof(TSolvyConfig) == kSolvyConfigSize);
static_assert(offsetof(TSolvyConfig, Byte0) == 0);
static_assert(offsetof(TSolvyConfig, Byte1) == 1);
static_assert(offsetof(TSolvyConfig, Byte2) == 2);
static_assert(offsetof(TSolvyConfig, Byte3) == 3);
static_assert(offsetof(TSolvyConfig, Byte4) == 4);
static_assert(offsetof(TSolvyConfig, Byte5) == 5);
static_assert(offsetof(TSolvyConfig, Byte6) == 6);
static_assert(offsetof(TSolvyConfig, Byte7) == 7);
static_assert(offsetof(TSolvyConfig, IPTiming) == 8);
static_assert(offsetof(TSolvyConfig, Current) == 100);
static_assert(offsetof(TSolvyConfig, VabMax) == 104);
static_assert(offsetof(TSolvyConfig, Channels) == 108);
static_assert(offsetof(TSolvyConfig, StackMin) == 112);
static_assert(offsetof(TSolvyConfig, StackMax) == 116);
static_assert(offsetof(TSolvyConfig, QRMax) == 120);
static_assert(offsetof(TSolvyConfig, QMMax) == 128);
static_assert(offsetof(TSolvyConfig, Reserved136) == 136);
static_assert(offsetof(TSolvyConfig, Folder) == 144);
static_assert(offsetof(TSolvyConfig, FileName) == 160);
static_assert(offsetof(TSolvyConfig, MaxChain) == 192);
static_assert(offsetof(TSolvyConfig, Reserved194) == 194);
static_assert(offsetof(TSolvyConfig, QuadripoleCount) == 200);
static_assert(offsetof(TSolvyConfig, Word204) == 204);
static_assert(offsetof(TSolvyConfig, FirstQuadripole) == 208);
static_assert(offsetof(TSolvyConfig, LastQuadripole) == 212);
static_assert(offsetof(TSolvyConfig, ElectrodeCount) == 216);
static_assert(offsetof(TSolvyConfig, FirstElectrode) == 220);
static_assert(offsetof(TSolvyConfig, LastElectrode) == 224);
static_assert(offsetof(TSolvyConfig, GapFillers) == 228);
static_assert(offsetof(TSolvyConfig, MeasurementCycles) == 232);
static_assert(offsetof(TSolvyConfig, Word236) == 236);
static_assert(offsetof(TSolvyConfig, ElectrodeSpacing) == 244);
static_assert(offsetof(TSolvyConfig, RemoteOffset) == 256);
static_assert(offsetof(TSolvyConfig, ElectrodeOffset) == 260);
static_assert(offsetof(TSolvyConfig, QuadripoleOffset) == 264);

static_assert(sizeof(TSqtElectrode) == 40);
static_assert(offsetof(TSqtElectrode, X) == 0);
static_assert(offsetof(TSqtElectrode, Y) == 8);
static_assert(offsetof(TSqtElectrode, Z) == 16);
static_assert(offsetof(TSqtElectrode, Word24) == 24);
static_assert(offsetof(TSqtElectrode, Word28) == 28);
static_assert(offsetof(TSqtElectrode, Flags) == 32);
static_assert(offsetof(TSqtElectrode, Pad33) == 33);
static_assert(offsetof(TSqtElectrode, Number) == 36);

static_assert(sizeof(TSqtQuadripole) == 24);
static_assert(offsetof(TSqtQuadripole, A) == 0);
static_assert(offsetof(TSqtQuadripole, B) == 4);
static_assert(offsetof(TSqtQuadripole, M) == 8);
static_assert(offsetof(TSqtQuadripole, N) == 12);
static_assert(offsetof(TSqtQuadripole, Flags) == 16);
static_assert(offsetof(TSqtQuadripole, Word20) == 20);

static_assert(sizeof(TSqtHeader) == 2048);
static_assert(offsetof(TSqtHeader, Config) == 4);
static_assert(offsetof(TSqtHeader, Zero) == 276);

// The block a new model starts from.
const TSolvyConfig& SolvyDefaultConfig();
// Block bytes 0..143 of the automatic configurations (kind ckAutoResistivity .. ckAutoStandardIP).
const std::uint8_t* SolvyPreset(unsigned kind);
// The 23 timing words (10-ms units) of time code 0..5 and window mode 0..6; nullptr outside.
const std::uint32_t* SolvyTimingRow(unsigned timeCode, unsigned windowMode);
// Item texts of the second model's array list, index = array code.
extern const char* const kSolvyArrayNamesList[kSolvyArrayNames];

class TReskonSolvy {
public:
    TSolvyConfig Config;
    TElectSequence* Sequence;   // not owned

    // store: where the last configuration is kept; nullptr = the user's settings.
    explicit TReskonSolvy(TElectSequence* sequence, TSolvyConfigStore* store = nullptr);

    // The last stored configuration, then the sequence's own acquisition parameters. May
    // move the sequence's injection time to one the chosen wave form allows.
    int LoadFromSequence();
    // Array type of the main window's line and surface list to the second model's array code.
    static unsigned ArrayCode(std::int32_t arrayType);
    // Writes the .sqt file (extension forced) and stores the block as the last configuration.
    // False, after a message, when the file could not be written; the previous file is kept.
    bool SaveSqt(const std::string& fileName);
    // The file name with its extension replaced by ".sqt", unless it has that one in any letters.
    static std::string SqtName(const std::string& fileName);

private:
    TSolvyConfigStore* Store;
    TSolvyConfigStore& ConfigStore();
};
