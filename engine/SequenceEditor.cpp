#include "engine/SequenceEditor.h"

#include <algorithm>
#include <iterator>

#include "engine/ArrayTypes.h"

namespace {
// What the meter spends after the M delay before the first window, in ms.
constexpr std::int64_t kIPFixedDelay = 80;
// The channel count an array choice and the presets start from.
constexpr std::int32_t kStartChannels = 10;
constexpr float kPresetQMax = 1.0f;
constexpr std::uint8_t kPresetVabMax10 = 80;  // 800 V
constexpr unsigned kPresetAuxMode = 1;
constexpr unsigned kPresetIPMode = 0;  // arithmetic

// The depth tables follow the grid and the array.
void KeepDepthTables(TElectSequence& s) { s.ComputeSpacingLevelDepths(true, kLevels); }

// The optimisation never asks for more channels than the meter measures.
void KeepOptimizationChannels(TElectSequence& s) {
    const std::int32_t channels = s.CheckChannel();
    if (s.ChannelOptions.OptimizationChannel > channels) s.ChannelOptions.OptimizationChannel = channels;
}

template <class T>
T Flag(T v) {
    return v == 1 ? T(1) : T(0);
}

bool SameElectrodes(const TElectGrid& a, const TElectGrid& b) {
    if (a.ElectrodeCount != b.ElectrodeCount || a.Duplicates != b.Duplicates) return false;
    for (int e = 1; e < kMaxElectrodes; ++e) {
        const TElectGridNode& x = a.Nodes[e];
        const TElectGridNode& y = b.Nodes[e];
        if (x.Used != y.Used) return false;
        if (x.Used > 0 && (x.IX != y.IX || x.IY != y.IY)) return false;
    }
    return true;
}
}  // namespace

TIPTimingCheck CheckIPTiming(std::int32_t injectionMs, std::int32_t mdelayMs, const std::int32_t windowsMs[kIPWindows]) {
    TIPTimingCheck c;
    // A negative time would wrap round in the 16-bit field: refused like a timing too long.
    if (mdelayMs < 0) ++c.Refused;
    std::int64_t sum = std::int64_t(mdelayMs) + kIPFixedDelay;
    for (int i = 0; i < kIPWindows; ++i) {
        std::int32_t w = windowsMs[i];
        if (w < 0) {
            w = 0;
            ++c.Refused;
        } else {
            sum += w;
            if (sum > injectionMs) {
                w = 0;
                ++c.Refused;
            }
        }
        c.Windows[i] = w;
    }
    return c;
}

void SettleSequence(TElectSequence& s) {
    const std::int32_t t = s.Grid.ArrayType;
    s.SetArrayType(t >= 0 && std::size_t(t) < SurfaceArrayTypes().size() ? t : atMixed);
    KeepOptimizationChannels(s);
    s.SetRhoIP(s.IsRhoIP());
    TSequenceEditor editor(s);
    if (s.Device.VmnChoice() != 0)
        editor.ChooseVp();
    else
        editor.ChooseVab();
    TChannelOptions& o = s.ChannelOptions;
    o.MultiChannelOptimization = Flag(o.MultiChannelOptimization);
    o.AllowDummyQuadripoles = Flag(o.AllowDummyQuadripoles);
    o.DelPolarEffect = Flag(o.DelPolarEffect);
    KeepDepthTables(s);
}

// ---------------------------------------------------------------- layout

void TSequenceEditor::SetGridType(TGridType type) {
    TElectGrid& g = S.Grid;
    const TElectGrid before = g;
    g.GridType = type;
    if (type != gtLine && g.DY == 0.0f) g.DY = 1.0f;
    S.SetArrayType(g.ArrayType);
    KeepDepthTables(S);
    if (g.GridType != before.GridType || g.DY != before.DY) MarkListStale();
}

void TSequenceEditor::SetGridGeometry(const TGridGeometry& geometry) {
    TElectGrid& g = S.Grid;
    const bool same = g.DX == geometry.DX && g.OffsetX == geometry.OffsetX && g.DY == geometry.DY &&
                      g.OffsetY == geometry.OffsetY && g.NX == geometry.NX && g.NY == geometry.NY;
    g.DX = geometry.DX;
    g.OffsetX = geometry.OffsetX;
    g.DY = geometry.DY;
    g.OffsetY = geometry.OffsetY;
    g.NX = geometry.NX;
    g.NY = geometry.NY;
    KeepDepthTables(S);
    if (!same) MarkListStale();
}

void TSequenceEditor::SetElectrodes(const TElectGrid& scanned) {
    TElectGrid& g = S.Grid;
    // The same electrodes leave the record as it is: an empty grid's bounds are not worth a
    // change (a new sequence would otherwise count as changed before anything was done to it).
    if (SameElectrodes(g, scanned)) return;
    g.ElectrodeCount = scanned.ElectrodeCount;
    g.FirstElectrode = scanned.FirstElectrode;
    g.LastElectrode = scanned.LastElectrode;
    g.Duplicates = scanned.Duplicates;
    std::copy(std::begin(scanned.Nodes), std::end(scanned.Nodes), g.Nodes);
    MarkListStale();
}

// ---------------------------------------------------------------- array and channels

void TSequenceEditor::ChooseArrayType(std::int32_t type) {
    S.SetArrayType(type);
    S.ResetRemoteElectrodes();
    SetChannels(std::min(kStartChannels, S.GetMaxChannel()));
    S.ClearQuadripoles();
    KeepDepthTables(S);
    if (SurfaceArrayType(type).FixedVab) ChooseVab();
    MarkListStale();
}

void TSequenceEditor::ChooseBoreholeArrayType(std::int32_t type) {
    S.SetArrayType(type);
    S.ChannelOptions.OptimizationChannel = S.CheckChannel();
    S.ClearQuadripoles();
    KeepDepthTables(S);
    MarkListStale();
}

void TSequenceEditor::SetChannels(std::int32_t n) {
    S.Device.Channels = n;
    S.LimitChannel(n);
    S.ChannelOptions.OptimizationChannel = S.Device.Channels;
}

// ---------------------------------------------------------------- meter parameters

void TSequenceEditor::ApplyPreset(const TMeterPreset& p) {
    TReskonPro& d = S.Device;
    d.Channels = kStartChannels;
    d.StackMin = p.StackMin;
    d.StackMax = p.StackMax;
    d.QMax = kPresetQMax;
    d.SetVmnChoice(p.VmnChoice);
    d.SetVabChoice(0);
    d.VabMax10 = kPresetVabMax10;
    d.SetTimeIndex(p.TimeIndex);
    d.SetRhoMode(p.RhoMode);
    d.SetAuxMode(kPresetAuxMode);
    d.SetIPMode(kPresetIPMode);
    if (const std::uint16_t* row = IPTimingTableRow(int(p.TimeIndex), int(kPresetIPMode)))
        std::copy(row, row + std::size(d.IPTiming), d.IPTiming);
    // Ten channels exceed the limit of the single-channel arrays.
    KeepOptimizationChannels(S);
    ChooseVp();
}

void TSequenceEditor::ChooseVp() {
    S.SetVab(-1);
    if (S.Device.VmnChoice() == 0) S.SetVmn(0);
}

void TSequenceEditor::ChooseVab() {
    S.SetVmn(-1);
    if (S.Device.VabChoice() == 0) S.SetVab(0);
}

TIPTimingCheck TSequenceEditor::SetProgrammedIPTiming(std::int32_t mdelayMs, const std::int32_t windowsMs[kIPWindows]) {
    std::uint32_t t[23];
    S.GetIPTiming(t);
    const TIPTimingCheck c = CheckIPTiming(std::int32_t(t[0]), mdelayMs, windowsMs);
    if (c.Fits()) S.SetIPTiming(std::int32_t(t[0]), std::int32_t(t[1]), mdelayMs, c.Windows);
    return c;
}

// ---------------------------------------------------------------- remote electrodes

void TSequenceEditor::SetRemoteA(float TElectrodeXYZ::*coord, float v) { S.RemoteElectrodes[kRemoteA].*coord = v; }

void TSequenceEditor::SetSecondRemote(float TElectrodeXYZ::*coord, float v) {
    if (SecondRemoteRole(ArrayTypeOf(S.Grid).Remotes) == kRemoteB) {
        S.RemoteElectrodes[kRemoteB].*coord = v;
    } else {
        S.RemoteElectrodes[kRemoteN].*coord = v;
        S.RemoteElectrodes[kRemoteM].*coord = v;
    }
}

// ---------------------------------------------------------------- multi-channel options

void TSequenceEditor::SetAllowDummyQuadripoles(bool on) {
    S.ChannelOptions.AllowDummyQuadripoles = on ? 1 : 0;
    MarkListStale();
}

void TSequenceEditor::SetDelPolarEffect(bool on) {
    S.ChannelOptions.DelPolarEffect = on ? 1 : 0;
    MarkListStale();
}

// ---------------------------------------------------------------- depth-level cells

void TSequenceEditor::SetCellSelected(int a, int n, bool on) {
    if (a < 1 || a > kSpacingCoefficients || n < 1 || n > kLevels) return;
    S.SpacingLevels[a - 1].Selected[n - 1] = on ? 1 : 0;
}

void TSequenceEditor::SetSelectedCount(int a, std::int32_t count) {
    if (a < 1 || a > kSpacingCoefficients) return;
    S.SpacingLevels[a - 1].SelectedCount = count;
}
