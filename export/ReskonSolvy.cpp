// The second model's configuration block: defaults, presets, timing table, the fill from a
// sequence and the .sqt file.
#include "export/ReskonSolvy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/ArrayTypes.h"
#include "engine/Fileimport.h"
#include "engine/Host.h"
#include "engine/Textfield.h"
#include "export/SolvySettings.h"
#include "files/UserFile.h"

namespace {

// M delay and windows of one time and mode; cycle and V delay come from the time alone.
struct TWindows {
    std::uint32_t MDelay;
    std::uint32_t Widths[20];
};

constexpr std::uint32_t kCycle[kSolvyTimes] = {800, 400, 200, 100, 50, 25};
constexpr std::uint32_t kVDelay[kSolvyTimes] = {534, 262, 126, 58, 28, 13};

// [time][arithmetic, semi logarithmic, logarithmic, Cole-Cole]; unlisted windows are 0.
constexpr TWindows kWindows[kSolvyTimes][4] = {
    {   // 8000 ms
        {96, {32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32}},
        {32, {16, 16, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64, 64, 64}},
        {16, {12, 22, 42, 82, 162, 322}},
        {2, {4, 6, 8, 10, 12, 15, 18, 22, 25, 28, 32, 36, 40, 45, 50, 58, 70, 85, 101, 118}},
    },
    {   // 4000 ms
        {48, {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16}},
        {16, {8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32}},
        {16, {12, 22, 42, 82, 162}},
        {2, {4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 25, 28, 32, 38, 45, 53}},
    },
    {   // 2000 ms
        {24, {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8}},
        {4, {4, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16}},
        {16, {12, 22, 42, 82}},
        {2, {2, 3, 3, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 20}},
    },
    {   // 1000 ms
        {12, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
        {4, {2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8}},
        {16, {12, 22, 42}},
        {2, {1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 7, 8, 9}},
    },
    {   // 500 ms
        {6, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {4, {4, 8, 16}},
        {16, {8, 18}},
        {16, {8, 18}},
    },
    {   // 250 ms
        {0, {}}, {0, {}}, {0, {}}, {0, {}},
    },
};

struct TTimingTable {
    std::uint32_t Rows[kSolvyTimes][kSolvyWindowModes][kSolvyTimingWords];
};

// Programmable (4) and the current-regulated full duty mode (5) start from the arithmetic
// row; the other full duty mode (6) has no M delay and no windows.
constexpr TTimingTable MakeTimingTable() {
    TTimingTable t{};
    for (int time = 0; time < kSolvyTimes; ++time)
        for (int mode = 0; mode < kSolvyWindowModes; ++mode) {
            std::uint32_t* row = t.Rows[time][mode];
            row[0] = kCycle[time];
            row[1] = kVDelay[time];
            if (mode == int(wmFullDuty)) continue;
            const TWindows& w = kWindows[time][mode <= int(wmColeCole) ? mode : int(wmArithmetic)];
            row[2] = w.MDelay;
            for (int k = 0; k < 20; ++k) row[3 + k] = w.Widths[k];
        }
    return t;
}
constexpr TTimingTable kTiming = MakeTimingTable();

TSolvyConfig MakeDefault() {
    TSolvyConfig c;
    std::memset(&c, 0, sizeof(c));
    c.Byte0 = 0xF8;
    c.Byte1 = 0x0A;
    c.Byte2 = 0x00;
    c.Byte3 = 0x02;
    c.Byte4 = 0x40;
    c.Byte5 = 0xCB;
    std::memcpy(c.IPTiming, kTiming.Rows[2][wmArithmetic], sizeof(c.IPTiming));
    c.Current = 1000000.0f;
    c.VabMax = 800.0f;
    c.Channels = 1;
    c.StackMin = 4;
    c.StackMax = 16;
    std::memcpy(c.Folder, "0:/SEQ", 7);
    std::memcpy(c.FileName, "sequence", 9);
    c.MaxChain = 20;
    c.ElectrodeSpacing = 5.0f;
    return c;
}

struct TPresetSpec {
    std::uint8_t Bytes[8];
    std::uint32_t Cycle, VDelay, MDelay, Window, WindowCount;
    std::uint32_t StackMin, StackMax;
    double QR, QM;
};

constexpr TPresetSpec kPresetSpecs[3] = {
    {{0xF8, 0x0A, 0x40, 0x05, 0x40, 0x0B, 0x00, 0x00}, 25, 13, 0, 0, 0, 3, 6, 2.0, 0.0},
    {{0xF8, 0x0A, 0x4A, 0x04, 0x40, 0x4B, 0x00, 0x00}, 50, 28, 6, 2, 19, 4, 16, 2.0, 2.0},
    {{0xF8, 0x0A, 0x0A, 0x02, 0x40, 0x8B, 0x00, 0x00}, 200, 126, 24, 8, 20, 4, 16, 2.0, 2.0},
};

struct TPresets {
    std::uint8_t Bytes[3][kSolvyPresetSize];
};

TPresets MakePresets() {
    TPresets p{};
    for (int i = 0; i < 3; ++i) {
        const TPresetSpec& s = kPresetSpecs[i];
        TSolvyConfig c;
        std::memset(&c, 0, sizeof(c));
        std::memcpy(&c, s.Bytes, 8);
        c.IPTiming[0] = s.Cycle;
        c.IPTiming[1] = s.VDelay;
        c.IPTiming[2] = s.MDelay;
        for (std::uint32_t k = 0; k < s.WindowCount; ++k) c.IPTiming[3 + k] = s.Window;
        c.Current = 1000000.0f;
        c.VabMax = 800.0f;
        c.Channels = 1;
        c.StackMin = s.StackMin;
        c.StackMax = s.StackMax;
        c.QRMax = s.QR;
        c.QMMax = s.QM;
        std::memcpy(p.Bytes[i], &c, kSolvyPresetSize);
    }
    return p;
}

template <typename T>
void Put(std::vector<std::uint8_t>& out, std::size_t at, const T& record) {
    std::memcpy(out.data() + at, &record, sizeof(T));
}

TSqtElectrode ElectrodeRecord(const TElectrodeXYZ& e, std::uint32_t number) {
    TSqtElectrode r;
    std::memset(&r, 0, sizeof(r));
    r.X = e.X;
    r.Y = e.Y;
    r.Z = e.Z;
    r.Flags = 0x02;
    r.Number = number & 0x1FFFFu;
    return r;
}

}  // namespace

const char* const kSolvyArrayNamesList[kSolvyArrayNames] = {
    "not initialized", "dipole dipole", "pole dipole", "pole pole", "Wenner", "Wenner-Schlum",
    "gradient", "poly-dipole", "poly-pole", "equatorial", "Schlumberger", "non convent.",
    "PDP reverse", "Wenner-Schlum rev", "multi gradient", "PDP offset", "hole surface", "hole hole"};

const TSolvyConfig& SolvyDefaultConfig() {
    static const TSolvyConfig c = MakeDefault();
    return c;
}

const std::uint8_t* SolvyPreset(unsigned kind) {
    static const TPresets p = MakePresets();
    return kind < 3 ? p.Bytes[kind] : nullptr;
}

const std::uint32_t* SolvyTimingRow(unsigned timeCode, unsigned windowMode) {
    if (timeCode >= unsigned(kSolvyTimes) || windowMode >= unsigned(kSolvyWindowModes)) return nullptr;
    return kTiming.Rows[timeCode][windowMode];
}

TReskonSolvy::TReskonSolvy(TElectSequence* sequence, TSolvyConfigStore* store)
    : Config(SolvyDefaultConfig()), Sequence(sequence), Store(store) {}

TSolvyConfigStore& TReskonSolvy::ConfigStore() { return Store ? *Store : SolvySettingsStore(); }

unsigned TReskonSolvy::ArrayCode(std::int32_t arrayType) { return SurfaceArrayType(arrayType).SecondModelCode; }

int TReskonSolvy::LoadFromSequence() {
    try {
        if (auto stored = ConfigStore().Read()) {
            // A longer value is refused whole rather than read past the block.
            if (stored->size() > sizeof(Config)) throw TSolvySettingsError("Invalid data size for 'ConfigSolvy'");
            std::memcpy(&Config, stored->data(), stored->size());
        }
    } catch (const TSolvySettingsError& e) {
        Host().ShowMessage(e.what());
    }
    if (!Sequence) return 1;
    TReskonPro& d = Sequence->Device;

    Config.SetArrayCode(ArrayTypeOf(Sequence->Grid).SecondModelCode);
    Config.Channels = std::uint32_t(d.Channels);
    Config.SetTrigger(0);
    Config.StackMin = std::uint32_t(d.StackMin);
    Config.StackMax = std::uint32_t(d.StackMax);

    if (Sequence->IsRhoIP()) {
        Config.SetWaveMode(0);
        Config.QMMax = d.QMax;
        Config.QRMax = 0.0;
    } else {
        Config.SetWaveMode(1);
        Config.QRMax = d.QMax;
        Config.QMMax = 0.0;
    }

    if (d.VmnChoice() != 0) {
        Config.SetRegulation(0);
        Config.SetInputLevel(d.VmnChoice() - 1);
        Config.VabMax = float(d.VabMax10) * 10.0f;
    } else if (d.VabChoice() == 9) {
        Config.SetRegulation(4);
    } else {
        Config.SetRegulation(2);
        // With no Vab choice at all the voltage index stays as stored: (0 - 1) & 15 would
        // name no voltage of the list.
        if (d.VabChoice() != 0) Config.SetVabIndex((d.VabChoice() - 1) & 15u);
    }

    Config.SetWaveMode(d.RhoMode());
    // A time index beyond the list counts as the shortest time.
    if (d.TimeIndex() >= unsigned(kSolvyTimes)) d.SetTimeIndex(kSolvyTimes - 1);
    if (Config.WaveMode() & 1u) {
        // 100 % duty cycle: no 8000 ms.
        if (d.TimeIndex() == 0) d.SetTimeIndex(1);
        Config.SetTimeCode(d.TimeIndex());
        std::memcpy(Config.IPTiming, SolvyTimingRow(d.TimeIndex(), wmFullDuty), sizeof(Config.IPTiming));
        Config.SetWindowMode(wmFullDuty);
    } else {
        // 50 % duty cycle: no 250 ms.
        if (d.TimeIndex() == 5) d.SetTimeIndex(4);
        const unsigned mode = d.IPMode() <= wmProgrammable ? d.IPMode() : unsigned(wmArithmetic);
        Config.SetTimeCode(d.TimeIndex());
        std::memcpy(Config.IPTiming, SolvyTimingRow(d.TimeIndex(), mode), sizeof(Config.IPTiming));
        Config.SetWindowMode(mode);
    }
    return 1;
}

std::string TReskonSolvy::SqtName(const std::string& fileName) {
    // A name chosen with the extension in other letters (x.SQT) is the file written.
    if (LowerCaseExt(fileName) == kSqtExt) return fileName;
    std::filesystem::path p(fileName);
    p.replace_extension(kSqtExt);
    return p.string();
}

bool TReskonSolvy::SaveSqt(const std::string& fileName) {
    namespace fs = std::filesystem;
    const fs::path path(SqtName(fileName));
    // The block names the file as the meter lists it, with the extension in small letters.
    CopyText(Config.FileName, sizeof(Config.FileName), fs::path(path.filename()).replace_extension(kSqtExt).string());
    CopyText(Config.Folder, sizeof(Config.Folder), "0:/SEQ");

    bool written = false;
    const auto failure = [](const std::string& name) { return "Can't save Solvy sequence with < " + name + " > filename"; };
    if (const std::string fault = FileNameFault(fileName); !fault.empty()) {
        // Refused as given: the name made of it could be another file's.
        Host().ShowMessage(WithReason(failure(fileName), fault));
    } else if (Sequence) {
        const TElectSequence& s = *Sequence;
        const TReskonPro& d = s.Device;
        // Counts beyond the tables are cut to them, so a damaged header never reads past them.
        const int first = std::clamp(d.FirstQuadripole, 0, kMaxQuadripoles);
        const int last = std::clamp(d.LastQuadripole, first - 1, kMaxQuadripoles - 1);
        const std::uint32_t lastElectrode = std::uint32_t(std::clamp(d.LastElectrode, 0, kMaxElectrodes - 1));

        Config.MaxChain = std::uint16_t(s.MaxChannelUsed);
        Config.FirstQuadripole = std::uint32_t(first + 1);
        Config.LastQuadripole = std::uint32_t(last + 1);
        Config.QuadripoleCount = Config.LastQuadripole - Config.FirstQuadripole + 1;
        Config.Word204 = 0;
        Config.ElectrodeCount = std::uint16_t(d.ElectrodeCount);
        Config.FirstElectrode = std::uint16_t(d.FirstElectrode);
        Config.LastElectrode = std::uint16_t(lastElectrode);
        Config.MeasurementCycles = std::uint32_t(s.MeasurementCycles);
        Config.Word236 = 0;
        Config.ElectrodeSpacing = d.ElectrodeSpacing;
        Config.RemoteOffset = kSqtRemoteOffset;
        Config.ElectrodeOffset = kSqtElectrodeOffset;
        Config.QuadripoleOffset = kSqtElectrodeOffset + 40u * lastElectrode;

        const std::uint32_t count = Config.QuadripoleCount;
        std::vector<std::uint8_t> image(Config.QuadripoleOffset + sizeof(TSqtQuadripole) * count, 0);
        for (int r = 0; r < 4; ++r)
            Put(image, kSqtRemoteOffset + sizeof(TSqtElectrode) * r, ElectrodeRecord(s.RemoteElectrodes[r], 0));
        for (std::uint32_t n = 1; n <= lastElectrode; ++n)
            Put(image, kSqtElectrodeOffset + sizeof(TSqtElectrode) * (n - 1), ElectrodeRecord(d.Electrodes[n], n));
        Config.GapFillers = 0;
        for (std::uint32_t q = 0; q < count; ++q) {
            const TQuadripole& quad = d.Quadripoles[q];
            TSqtQuadripole rec{quad.A, quad.B, quad.M, quad.N, 0, 0};
            if (s.QuadInfo[q].Level < 0) {
                rec.Flags = 1;
                ++Config.GapFillers;
            }
            Put(image, Config.QuadripoleOffset + sizeof(TSqtQuadripole) * q, rec);
        }
        auto header = std::make_unique<TSqtHeader>();
        std::memset(header.get(), 0, sizeof(TSqtHeader));
        header->Version = kSqtVersion;
        header->Config = Config;
        Put(image, 0, *header);
        std::string why;
        written = ReplaceFileContents(path.string(), image.data(), image.size(), &why);
        if (!written) Host().ShowMessage(WithReason(failure(path.string()), why));
    }

    try {
        ConfigStore().Write(reinterpret_cast<const std::uint8_t*>(&Config), sizeof(Config));
    } catch (const TSolvySettingsError& e) {
        Host().ShowMessage(e.what());
    }
    return written;
}
