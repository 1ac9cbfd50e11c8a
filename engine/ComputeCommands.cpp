#include "engine/ComputeCommands.h"

#include <utility>

#include "engine/Host.h"

namespace {
const char* const kNoDepthLevel = "No set of depth level !!!";

// Why a computation gave no quadripole, and what the user can do about it.
std::string NoQuadripoleText(const TElectSequence& s, bool shifted) {
    const char* why = s.GetSpacingLevelCount() < 1 ? "no depth level is selected for this array on this layout."
                      : shifted ? "the spread before already measured every quadripole of the selected depth levels."
                                : "none of the selected depth levels gives a quadripole on this layout.";
    return std::string("No quadripole was computed: ") + why +
           "\nSelect depth levels by hand in the grid of the Configuration tab (a double click selects a cell), "
           "then compute again.";
}
// The hourglass while the list is computed; the figures and the save come after it.
class TBusy {
public:
    TBusy() { Host().SetWaitCursor(true); }
    ~TBusy() { Host().SetWaitCursor(false); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};
}  // namespace

TComputeCommands::TComputeCommands(TSequenceList& list, TFileCommands& files, TComputeView view)
    : List(list), Files(files), View(std::move(view)) {}

TFileResult TComputeCommands::MayShift() const {
    const TElectSequence* s = List.CurrentSequence();
    if (!s) return TFileResult::Cancelled();
    return s->GetSpacingLevelCount() < 1 ? TFileResult::Failed(kNoDepthLevel) : TFileResult::Done();
}

TFileResult TComputeCommands::MayCompute() const {
    const TElectSequence* s = List.CurrentSequence();
    if (!s) return TFileResult::Cancelled();
    // A list without cells (an imported mixed-array list) is still counted.
    if (s->GetSpacingLevelCount() < 1 && s->QuadripoleCount() < 1) return TFileResult::Failed(kNoDepthLevel);
    return TFileResult::Done();
}

TFileResult TComputeCommands::ComputeAndSave(int nodesX, int nodesY, const TFileCommands::TNamePicker& pickName) {
    TElectSequence* s = List.CurrentSequence();
    if (!s) return TFileResult::Cancelled();
    TComputeOptions options = View.ReadOptions ? View.ReadOptions() : TComputeOptions();
    options.NodesX = nodesX;
    options.NodesY = nodesY;
    const TComputeFigures figures = [&] {
        TBusy busy;
        return RunComputation(*s, options);
    }();
    if (s->QuadripoleCount() < 1) {
        // Figures of an empty list would describe an acquisition that does not exist, and a file
        // of it would replace one that may hold a list.
        TFileResult r = TFileResult::Failed(NoQuadripoleText(*s, nodesX > 0 || nodesY > 0));
        r.ShowAgain = true;
        return r;
    }
    if (View.ShowFigures) View.ShowFigures(figures);
    return Files.Save(pickName);
}

TFileResult TComputeCommands::RollAlongAndSave(int nodesX, int nodesY, const TRollAlongPicker& pickName) {
    const TElectSequence* from = List.CurrentSequence();
    if (!from) return TFileResult::Cancelled();
    const std::string rolledFrom = TrimText(from->FileName);
    const std::optional<std::string> chosen = pickName ? pickName(RollAlongFileName(rolledFrom)) : std::nullopt;
    if (!chosen) return TFileResult::Cancelled();
    // The copy is on disk and current before anything of it changes: after a copy that could
    // not be written, the sequence still current is the one the user rolls from.
    if (TFileResult copied = Files.SaveAsNew(*chosen); !copied) return copied;
    RollAlong(*List.CurrentSequence(), rolledFrom, nodesX, nodesY);
    if (View.ShowCurrent) View.ShowCurrent();
    // The copy has its file: no name to pick.
    return ComputeAndSave(nodesX, nodesY, nullptr);
}
