#pragma once
// The compute commands of the sequence list: compute the current sequence and save what came
// out, and make the next spread of a roll-along survey into an entry of its own. They run below
// the window and return what happened for it to show; the window reads its options when asked,
// shows the figures and the entries, and picks the names.
#include <functional>
#include <optional>
#include <string>

#include "engine/Compute.h"
#include "engine/FileCommands.h"
#include "engine/FileResult.h"
#include "engine/SequenceList.h"

// What the compute commands ask of the window while they run.
struct TComputeView {
    // The options of the window's controls (the node shifts are the command's), read when the
    // computation starts: a question about them comes then, after the command's own refusals.
    std::function<TComputeOptions()> ReadOptions;
    // The figures of a computation that gave quadripoles, then the sequence computed; before it
    // is saved.
    std::function<void(const TComputeFigures&)> ShowFigures;
    // The entries of the list and the current one, changed by the command, before its next step.
    std::function<void()> ShowCurrent;
};

class TComputeCommands {
public:
    // The file the user picks for the next spread, proposed first; nothing when cancelled.
    using TRollAlongPicker = std::function<std::optional<std::string>(const std::string& proposed)>;

    TComputeCommands(TSequenceList& list, TFileCommands& files, TComputeView view);

    // Whether the current sequence can be computed: Done, or Failed, saying why not. The
    // compute command needs depth-level cells selected or a list to count; the commands that
    // shift the spread need cells.
    TFileResult MayCompute() const;
    TFileResult MayShift() const;
    // Computes the current sequence, cut where a spread nodesX columns and nodesY rows before
    // it measured (0: that axis is not cut). When quadripoles came out, their figures are shown
    // and the sequence is saved as Save does (pickName names the file of one that has none);
    // otherwise nothing is saved and the result fails, saying why and what to do.
    TFileResult ComputeAndSave(int nodesX, int nodesY, const TFileCommands::TNamePicker& pickName);
    // The next spread of a roll-along survey, moved nodesX columns and nodesY rows: a copy of
    // the current sequence, written to the file pickName picks, becomes the current entry; it
    // gets its roll-along comment, name and offsets (RollAlong), is shown, then computed with
    // the cut and saved. The entry rolled from keeps its contents and its file. Cancelled, or a
    // copy that cannot be written: nothing changes.
    TFileResult RollAlongAndSave(int nodesX, int nodesY, const TRollAlongPicker& pickName);

private:
    TSequenceList& List;
    TFileCommands& Files;
    TComputeView View;
};
