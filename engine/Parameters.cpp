// Acquisition parameters held in the device header, and the acquisition time estimate.
#include <algorithm>
#include <limits>

#include "engine/ArrayTypes.h"
#include "engine/Electsequence.h"

namespace {
constexpr int kTimeIndices = 6;
constexpr int kIPModes = 5;

// IP timing in 10-ms units per [injection time index][IP mode]: injection time, delay,
// "M delay", then the 20 IP window widths.
constexpr std::uint16_t kIPTimingTable[kTimeIndices][kIPModes][23] = {
    {   // 8000 ms
        {800, 534, 96, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32},
        {800, 534, 32, 16, 16, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64, 64, 64},
        {800, 534, 16, 12, 22, 42, 82, 162, 322},
        {800, 534, 2, 4, 6, 8, 10, 12, 15, 18, 22, 25, 28, 32, 36, 40, 45, 50, 58, 70, 85, 101, 118},
        {800, 534, 96, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32},
    },
    {   // 4000 ms
        {400, 262, 48, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16},
        {400, 262, 16, 8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 32, 32},
        {400, 262, 16, 12, 22, 42, 82, 162},
        {400, 262, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 25, 28, 32, 38, 45, 53},
        {400, 262, 48, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16},
    },
    {   // 2000 ms
        {200, 126, 24, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8},
        {200, 126, 4, 4, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16},
        {200, 126, 16, 12, 22, 42, 82},
        {200, 126, 2, 2, 3, 3, 3, 4, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 20},
        {200, 126, 24, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8},
    },
    {   // 1000 ms
        {100, 58, 12, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4},
        {100, 58, 4, 2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 8, 8, 8, 8, 8, 8},
        {100, 58, 16, 12, 22, 42},
        {100, 58, 2, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 7, 8, 9},
        {100, 58, 12, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4},
    },
    {   // 500 ms
        {50, 28, 6, 4, 4, 4},
        {50, 28, 4, 4, 8, 16},
        {50, 28, 16, 8, 18},
        {50, 28, 16, 8, 18},
        {50, 28, 6, 4, 4, 4},
    },
    {   // 250 ms
        {25, 13, 0},
        {25, 13, 0},
        {25, 13, 0},
        {25, 13, 0},
        {25, 13, 0},
    },
};
}  // namespace

const std::uint16_t* IPTimingTableRow(int timeIndex, int ipMode) {
    if (timeIndex < 0 || timeIndex >= kTimeIndices || ipMode < 0 || ipMode >= kIPModes) return nullptr;
    return kIPTimingTable[timeIndex][ipMode];
}

void TElectSequence::SetArrayType(std::int32_t t) {
    if (t != Grid.ArrayType) {
        Grid.ArrayType = t;
        LimitChannel(GetMaxChannel());
    }
    Grid.ArrayType = t;
    if (const std::int32_t code = ArrayTypeOf(Grid).MeterCode; code != kKeepMeterCode) Device.DeviceArrayCode = code;
    LimitChannel(CheckChannel());
}

std::int32_t TElectSequence::GetMaxChannel() const { return ArrayTypeOf(Grid).ChannelLimit; }

std::int32_t TElectSequence::CheckChannel() {
    const std::int32_t m = GetMaxChannel();
    if (Device.Channels > m) Device.Channels = m;
    if (ChannelOptions.OptimizationChannel > m) ChannelOptions.OptimizationChannel = m;
    return Device.Channels;
}

void TElectSequence::LimitChannel(std::int32_t n) {
    const std::int32_t m = std::min(n < 1 ? 1 : n, GetMaxChannel());
    if (Device.Channels > m) Device.Channels = m;
    if (ChannelOptions.OptimizationChannel > m) ChannelOptions.OptimizationChannel = m;
}

void TElectSequence::SetTime(std::int32_t index) {
    if (index < 0 || index >= kTimeIndices) return;  // no such injection time
    if (static_cast<unsigned>(index) == Device.TimeIndex()) return;
    Device.SetTimeIndex(static_cast<unsigned>(index));
    if (const auto* row = IPTimingTableRow(index, static_cast<int>(Device.IPMode())))
        std::copy(row, row + 23, Device.IPTiming);
}

void TElectSequence::SetIPMode(std::int32_t mode) {
    if (mode < 0 || mode >= kIPModes) return;  // no such IP mode
    if (static_cast<unsigned>(mode) == Device.IPMode()) return;
    Device.SetIPMode(static_cast<unsigned>(mode));
    if (const auto* row = IPTimingTableRow(static_cast<int>(Device.TimeIndex()), mode))
        std::copy(row, row + 23, Device.IPTiming);
}

bool TElectSequence::IsRhoIP() const { return Device.RhoMode() != 1; }

void TElectSequence::SetRhoIP(bool on) { Device.SetRhoMode(on ? 0 : 1); }

void TElectSequence::SetVmn(std::int32_t choice) {
    Device.SetVmnChoice(static_cast<unsigned>(choice + 1));
    if (choice + 1 > 0) Device.SetVabChoice(0);
}

void TElectSequence::SetVab(std::int32_t choice) {
    Device.SetVabChoice(static_cast<unsigned>(choice + 1));
    if (choice + 1 > 0) Device.SetVmnChoice(0);
}

void TElectSequence::SetVabMax(std::int32_t volts) {
    // The byte holds tens of volts; a larger request keeps the largest value it can hold
    // rather than wrapping round to a small voltage.
    Device.VabMax10 = static_cast<std::uint8_t>(std::min(std::max(volts, 10) / 10, 255));
}

std::int32_t TElectSequence::GetVabMax() const { return Device.VabMax10 * 10; }

void TElectSequence::GetIPTiming(std::uint32_t out[23]) const {
    for (int k = 0; k < 23; ++k) out[k] = std::uint32_t(Device.IPTiming[k]) * 10u;
}

void TElectSequence::SetIPTiming(std::int32_t t0, std::int32_t t1, std::int32_t t2,
                                 const std::int32_t windows[20]) {
    Device.IPTiming[0] = static_cast<std::uint16_t>(t0 / 10);
    Device.IPTiming[1] = static_cast<std::uint16_t>(t1 / 10);
    Device.IPTiming[2] = static_cast<std::uint16_t>(t2 / 10);
    for (int k = 0; k < 20; ++k) Device.IPTiming[3 + k] = static_cast<std::uint16_t>(windows[k] / 10);
}

std::int32_t TElectSequence::GetMaxQuadNumber() const {
    std::int16_t best = 0;
    for (int q = 0; q <= Device.LastQuadripole && q < kMaxQuadripoles; ++q)
        best = std::max(best, static_cast<std::int16_t>(QuadInfo[q].Number));
    return best;
}

std::int32_t TElectSequence::GetMaxGroup() const {
    std::int16_t best = 0;
    for (int q = 0; q <= Device.LastQuadripole && q < kMaxQuadripoles; ++q)
        best = std::max(best, static_cast<std::int16_t>(QuadInfo[q].Group));
    return best;
}

long double TElectSequence::GetMeasureTimeExact() const {
    const long double t = static_cast<long double>(Device.IPTiming[0]) * 10;
    const long double base = t * ((static_cast<long double>(Device.StackMin) + Device.StackMax) * 0.5L + 2);
    long double time = base * (IsRhoIP() ? 2 : 1) + 540;
    if (Device.VmnChoice() != 0) time += 340;
    // Stack counts below zero (a foreign file, or set directly) would make the time negative.
    return std::max(time, 0.0L);
}

std::int32_t TElectSequence::GetMeasureTime() const {
    // Huge stack counts give a time beyond the result's range: it saturates.
    constexpr long double kLongest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(GetMeasureTimeExact(), kLongest));
}

double TElectSequence::GetTotalTime() const {
    const long double cycles = std::max(MeasurementCycles, 0);
    return static_cast<double>(GetMeasureTimeExact() * cycles * (1.0L / 86400000.0L));
}
