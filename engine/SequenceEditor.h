#pragma once
// What the user changes in a sequence, one operation per edit. Each writes the sequence, keeps
// what depends on the changed value in line (channel limits, the meter's array code, the depth
// tables) and marks the computed list stale (NeedsRecompute) where it no longer matches. The
// window reads its controls, calls one of these and then shows the sequence; showing a
// sequence never writes into it.
#include <cstdint>

#include "engine/Electsequence.h"

// The meter parameters a survey starts from (a preset of the Rho-and-IP or Rho-only choice).
struct TMeterPreset {
    std::int32_t StackMin, StackMax;
    unsigned VmnChoice;  // choice + 1
    unsigned TimeIndex;
    unsigned RhoMode;
};
inline constexpr TMeterPreset kRhoIPPreset{.StackMin = 4, .StackMax = 8, .VmnChoice = 5, .TimeIndex = 2, .RhoMode = 0};
inline constexpr TMeterPreset kRhoOnlyPreset{.StackMin = 3, .StackMax = 6, .VmnChoice = 2, .TimeIndex = 4, .RhoMode = 1};

constexpr int kIPWindows = 20;

// A programmable IP timing checked against the injection time: the M delay, a fixed 80 ms and
// the windows must fit within it, and no time may be negative. Each window from the first one
// that overflows is refused (the total keeps counting it), as is every negative value.
struct TIPTimingCheck {
    std::int32_t Windows[kIPWindows] = {};  // the windows as they would be stored, refused ones 0
    int Refused = 0;                        // how many values were refused
    bool Fits() const { return Refused == 0; }
};
TIPTimingCheck CheckIPTiming(std::int32_t injectionMs, std::int32_t mdelayMs, const std::int32_t windowsMs[kIPWindows]);

// The sizes, spacings and offsets of the electrode grid.
struct TGridGeometry {
    float DX = 0, OffsetX = 0, DY = 0, OffsetY = 0;
    std::int32_t NX = 1, NY = 1;
};

// A sequence entering the window's list (new, opened, imported, reloaded), made what the window
// shows and edits: an array index beyond the list becomes "mixed array", the array's meter code
// and channel limit hold (the optimisation never asks for more channels than the meter
// measures), the Rho/IP choice and the voltage choice are the ones the window offers (a Vmn
// choice clears the Vab one; neither gives Vab "12 V"), the option flags are 0 or 1, and the
// depth tables are those of its grid and array. Applying it again changes nothing.
void SettleSequence(TElectSequence& s);

class TSequenceEditor {
public:
    explicit TSequenceEditor(TElectSequence& s) : S(s) {}

    // The user changed what the computed list was made from.
    void MarkListStale() { S.NeedsRecompute = 1; }

    // ---- electrode layout ----
    // A surface or a borehole has a second axis: a spacing of 0 along it becomes 1. The array
    // keeps the meter code and channel limit of the new grid type.
    void SetGridType(TGridType type);
    void SetGridGeometry(const TGridGeometry& g);
    // The electrodes as a scan of the location grid found them: the nodes, the count, the first
    // and last numbers and the duplicate flag of scanned are taken.
    void SetElectrodes(const TElectGrid& scanned);

    // ---- array and channels ----
    // An array chosen in the line and surface list: the channel count goes to ten, or to the
    // array's limit when that is lower; the remote electrodes are unset; the list is cleared; an
    // array of a fixed Vab switches the injection to it.
    void ChooseArrayType(std::int32_t type);
    // An array chosen in the borehole list: the channels kept within its limit, the list cleared.
    void ChooseBoreholeArrayType(std::int32_t type);
    // The channel count of the meter; the optimisation uses as many.
    void SetChannels(std::int32_t n);
    void SetOptimizationChannels(std::int32_t n) { S.ChannelOptions.OptimizationChannel = n; }

    // ---- meter parameters ----
    void SetRhoIP(bool on) { S.SetRhoIP(on); }
    // The preset's stacks, Q max, voltages, injection time and IP timing, in Vp mode, with the
    // channel count it gives kept within the array's limit.
    void ApplyPreset(const TMeterPreset& p);
    // Vp mode: no Vab choice, and "Save energy" when no Vmn was chosen.
    void ChooseVp();
    // Vab mode: no Vmn choice, and "12 V" when no Vab was chosen.
    void ChooseVab();
    void SetStackMin(std::int32_t n) { S.Device.StackMin = n; }
    void SetStackMax(std::int32_t n) { S.Device.StackMax = n; }
    void SetQMax(float percent) { S.Device.QMax = percent; }
    // The M delay and the windows typed for the programmable mode; stored when they fit.
    TIPTimingCheck SetProgrammedIPTiming(std::int32_t mdelayMs, const std::int32_t windowsMs[kIPWindows]);

    // ---- remote electrodes ----
    void SetRemoteA(float TElectrodeXYZ::*coord, float v);
    // B for an array with remote A and B, otherwise N, with M kept on N.
    void SetSecondRemote(float TElectrodeXYZ::*coord, float v);

    // ---- multi-channel options ----
    void SetMultiChannelOptimization(bool on) { S.ChannelOptions.MultiChannelOptimization = on ? 1 : 0; }
    void SetAllowDummyQuadripoles(bool on);
    void SetDelPolarEffect(bool on);

    // ---- depth-level cells ----
    // Cell (a, n) of the depth-level grid, a = 1..9, n = 1..128.
    void SetCellSelected(int a, int n, bool on);
    void SetSelectedCount(int a, std::int32_t count);

private:
    TElectSequence& S;
};
