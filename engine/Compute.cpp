// The compute command's pipeline and the roll-along rules.
#include "engine/Compute.h"

#include <algorithm>

namespace {
// What the meter keeps of a sequence name.
constexpr std::size_t kSeqNameLength = sizeof(TReskonPro::SeqName);
// A first roll-along name keeps this much of the name before it, leaving room for "~1".
constexpr std::size_t kFirstRollStem = kSeqNameLength - 2;
}  // namespace

TListFigures FiguresOf(const TElectSequence& s) {
    return {s.QuadripoleCount(), s.MeasurementCycles, s.MaxChannelUsed, s.GetTotalTime()};
}

TComputeFigures RunComputation(TElectSequence& s, const TComputeOptions& options) {
    s.ComputeElectrodePositions();
    s.ComputeSequence(options.Reverse, options.DelPolar);
    s.NeedsRecompute = 0;
    // The cut takes the shifts plus one: a shift of one node already limits its axis.
    if (options.NodesX > 0 || options.NodesY > 0) s.MoveSequence(options.NodesX + 1, options.NodesY + 1);

    TComputeFigures figures;
    figures.Original = FiguresOf(s);
    figures.Full = figures.Original.Quadripoles >= kMaxQuadripoles;
    if (options.Optimise) {
        s.MultiChannelOptimization();
        // Polarisation deletion reorders the chains the optimisation made: without them it has
        // nothing to work on.
        if (options.DelPolar) s.DelPolarEffect();
        figures.Optimised = FiguresOf(s);
    }
    return figures;
}

std::string RollAlongFileName(const std::string& oldName) {
    const std::size_t slash = oldName.rfind('/');
    const std::size_t dot = oldName.rfind('.');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (extension ? oldName.substr(0, dot) : oldName) + "~.sqz";
}

std::string RollAlongSeqName(const std::string& name) {
    const std::size_t tilde = name.find('~');
    const std::size_t length = name.size();
    if (tilde != std::string::npos && tilde + 2 == length) {
        const char last = name.back();
        const int number = (last >= '0' && last <= '9' ? last - '0' : -1) + 1;
        const std::string digits = std::to_string(number);
        // The stem gives way so that the number survives the length limit.
        const std::string stem = name.substr(0, std::min(tilde, kSeqNameLength - 1 - digits.size()));
        return stem + '~' + digits;
    }
    return name.substr(0, kFirstRollStem) + "~1";
}

void RollAlong(TElectSequence& s, const std::string& rolledFrom, std::int32_t nodesX, std::int32_t nodesY) {
    // Added in three steps, each cut to the comment's length by SetComment.
    s.SetComment(s.GetComment() + "\r\n<-- Roll along from ( " + rolledFrom + " ) On X grid : " +
                 std::to_string(nodesX) + " Nodes");
    if (nodesY > 0) s.SetComment(s.GetComment() + " / On Y grid : " + std::to_string(nodesY) + " Nodes");
    s.SetComment(s.GetComment() + " -->");
    s.SetSeqName(RollAlongSeqName(s.GetSeqName()));
    s.Grid.OffsetX = s.Grid.OffsetX + float(nodesX) * s.Grid.DX;
    s.Grid.OffsetY = s.Grid.OffsetY + float(nodesY) * s.Grid.DY;
}
