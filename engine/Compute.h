#pragma once
// The compute command below the window: from the sequence's own settings and a few options,
// the electrode positions, the generated list, the roll-along cut, the multi-channel
// optimisation and the polarisation deletion, with the figures before and after. Also the rules
// that make the next spread of a roll-along survey.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/Electsequence.h"

struct TComputeOptions {
    bool Reverse = false;   // every ABMN becomes MNAB
    bool Optimise = true;   // regroup the list into multi-channel injections
    // Picks the polarisation variants of the generators and, after an optimisation, reorders
    // the chains; without the optimisation there are no chains to reorder.
    bool DelPolar = true;
    // Nodes the spread moved since the acquisition before, on each axis: the quadripoles that
    // the previous spread already measured are cut. An axis not moved (0 or less) limits
    // nothing; when neither moved, nothing is cut.
    std::int32_t NodesX = 0;
    std::int32_t NodesY = 0;
};

// The figures of a list as it stands.
struct TListFigures {
    std::int32_t Quadripoles = 0;
    std::int32_t Injections = 0;  // measurement cycles
    std::int32_t Channels = 0;    // the longest injection's readings
    double AcquisitionTime = 0;   // a fraction of a day

    bool operator==(const TListFigures&) const = default;
};

struct TComputeFigures {
    TListFigures Original;
    // The list reached its limit of 16000 quadripoles before the optimisation.
    bool Full = false;
    // After the optimisation; none when it was not asked for.
    std::optional<TListFigures> Optimised;
};

TListFigures FiguresOf(const TElectSequence& s);

// Computes s in place from its grid, array and selected cells: the electrode positions, the
// generator, the cut, then (when asked) the optimisation and the polarisation deletion. Clears
// NeedsRecompute. Returns the figures the results window shows.
TComputeFigures RunComputation(TElectSequence& s, const TComputeOptions& options);

// The file proposed for the next spread: line.sqz gives line~.sqz, a name without an
// extension gets "~.sqz".
std::string RollAlongFileName(const std::string& oldName);
// The next spread's sequence name: ABC~1 gives ABC~2, WENNER48 gives WENNER48~1.
std::string RollAlongSeqName(const std::string& name);
// Makes s the next spread of the one in file rolledFrom, moved nodesX columns and nodesY rows:
// a line that says so at the end of the comment, the next sequence name and the grid's offsets
// moved by as many node spacings. The list is left for the next computation.
void RollAlong(TElectSequence& s, const std::string& rolledFrom, std::int32_t nodesX, std::int32_t nodesY);
