// The compute commands as the window runs them: compute and save, and the next spread of a
// roll-along survey, with what they ask of the window in what order and what they return.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/ComputeCommands.h"
#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"

namespace {
namespace fs = std::filesystem;

std::vector<Abmn> ListOf(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[std::size_t(q)].data());
    return out;
}

// A dipole-dipole line of nx electrodes, cells (1, 1..levels) selected, not computed yet.
std::unique_ptr<TElectSequence> Layout(int nx, int levels) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, nx, 1, 1.0f);
    s->SetArrayType(atDipoleDipole);
    for (int n = 0; n < levels; ++n) s->SpacingLevels[0].Selected[n] = 1;
    s->SpacingLevels[0].SelectedCount = levels;
    s->NeedsRecompute = 1;
    return s;
}

TComputeOptions NoOptimisation() {
    TComputeOptions o;
    o.Optimise = false;
    o.DelPolar = false;
    return o;
}

// The list s gives when computed as the window's options say, with the cut of a shift.
std::vector<Abmn> ComputedList(const TElectSequence& s, int nodesX = 0) {
    auto copy = std::make_unique<TElectSequence>(s);
    TComputeOptions o = NoOptimisation();
    o.NodesX = nodesX;
    RunComputation(*copy, o);
    return ListOf(*copy);
}

std::vector<Abmn> ListOnDisk(const std::string& path) {
    auto s = NewSequence();
    return s->ReadSqzFile(path) ? ListOf(*s) : std::vector<Abmn>{};
}
}  // namespace

class ComputeCommandsTest : public FileFixture {
protected:
    // What the commands asked of the window, in order.
    std::vector<std::string> asked;
    TSequenceList list;
    TFileCommands files{list, [this] { asked.push_back("entry shown for a question"); }};
    TComputeCommands computes{list, files,
                              {[this] {
                                   asked.push_back("options");
                                   return NoOptimisation();
                               },
                               [this](const TComputeFigures& f) {
                                   asked.push_back("figures of " + std::to_string(f.Original.Quadripoles));
                               },
                               [this] { asked.push_back("entry shown"); }}};

    // s written to leaf and listed as the current entry.
    std::string Listed(TElectSequence& s, const std::string& leaf) {
        EXPECT_TRUE(s.WriteSqzFile(Path(leaf)));
        EXPECT_GE(list.AppendFromFile(Path(leaf)), 0);
        list.SetCurrent(list.Count() - 1);
        return Path(leaf);
    }
    TFileCommands::TNamePicker Pick(const std::string& name) {
        return [this, name]() -> std::optional<std::string> {
            asked.push_back("name");
            if (name.empty()) return std::nullopt;
            return name;
        };
    }
};

TEST_F(ComputeCommandsTest, AComputedListIsShownThenSaved) {
    auto layout = Layout(12, 4);
    const std::vector<Abmn> expected = ComputedList(*layout);
    ASSERT_EQ(expected.size(), 30u);

    // A sequence with a file: computed, its figures shown, then written to its file.
    const std::string file = Listed(*layout, "line.sqz");
    const TFileResult r = computes.ComputeAndSave(0, 0, Pick(""));
    EXPECT_EQ(r.Outcome, TFileOutcome::Done);
    EXPECT_EQ(asked, (std::vector<std::string>{"options", "figures of 30"}));
    EXPECT_EQ(ListOf(*list.CurrentSequence()), expected);
    EXPECT_EQ(ListOnDisk(file), expected);
    EXPECT_FALSE(list.Changed(0));
    // The sequence just computed is saved without the question about changes since then.
    EXPECT_TRUE(host.Questions.empty());
    EXPECT_EQ(host.WaitCursorDepth, 0);

    // A new sequence: its name is asked once the figures were shown, and its entry takes it.
    asked.clear();
    ASSERT_TRUE(list.Append(Layout(12, 4)));
    list.SetCurrent(1);
    EXPECT_TRUE(computes.ComputeAndSave(0, 0, Pick(Path("new.sqz"))));
    EXPECT_EQ(asked, (std::vector<std::string>{"options", "figures of 30", "name"}));
    EXPECT_EQ(TrimText(list.CurrentSequence()->FileName), Path("new.sqz"));
    EXPECT_EQ(ListOnDisk(Path("new.sqz")), expected);
    EXPECT_TRUE(host.Messages.empty());
}

// No quadripole: the user is told why and what to do, no figures are shown, and the file keeps
// what it held.
TEST_F(ComputeCommandsTest, AComputationWithoutQuadripolesSavesNothingAndSaysWhy) {
    const std::string advice =
        "\nSelect depth levels by hand in the grid of the Configuration tab (a double click selects a cell), then "
        "compute again.";
    struct TCase {
        const char* what;
        int levels;  // cells (1, 1..levels) of a line of 12
        int firstLevel;
        int shift;
        int columns;  // of the grid, beyond the 12 placed electrodes
        std::string why;
    };
    const TCase cases[] = {
        {"no cell", 0, 0, 0, 12, "no depth level is selected for this array on this layout."},
        {"a level the spread cannot hold", 1, 40, 0, 12,
         "none of the selected depth levels gives a quadripole on this layout."},
        // An empty last column: the spread before covered every electrode.
        {"all measured before", 4, 0, 1, 13,
         "the spread before already measured every quadripole of the selected depth levels."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        list.Clear();
        asked.clear();
        auto s = Layout(12, 0);
        s->Grid.NX = c.columns;
        for (int n = c.firstLevel; n < c.firstLevel + c.levels; ++n) s->SpacingLevels[0].Selected[n] = 1;
        s->SpacingLevels[0].SelectedCount = c.levels;
        // Unshifted, the cells give quadripoles: the cut took them all.
        if (c.shift > 0) {
            ASSERT_FALSE(ComputedList(*s).empty());
        }
        AddQuadripole(*s, {1, 2, 3, 4});  // the list the file holds
        const std::string file = Listed(*s, "kept.sqz");
        const std::string before = Read(file);

        const TFileResult r = computes.ComputeAndSave(c.shift, 0, Pick(Path("other.sqz")));
        EXPECT_EQ(r.Outcome, TFileOutcome::Failed);
        EXPECT_EQ(r.Message, "No quadripole was computed: " + c.why + advice);
        EXPECT_TRUE(r.ShowAgain);
        EXPECT_EQ(asked, std::vector<std::string>{"options"});
        EXPECT_EQ(list.CurrentSequence()->QuadripoleCount(), 0);
        EXPECT_EQ(list.CurrentSequence()->NeedsRecompute, 0);
        EXPECT_EQ(Read(file), before);
        EXPECT_FALSE(fs::exists(Path("other.sqz")));
        EXPECT_EQ(host.WaitCursorDepth, 0);
    }
    EXPECT_TRUE(host.Questions.empty());
}

TEST_F(ComputeCommandsTest, WhatCanBeComputedAndShifted) {
    struct TCase {
        const char* what;
        int levels;
        bool list;
        bool compute, shift;
    };
    const TCase cases[] = {
        {"cells", 2, false, true, true},
        {"a list without cells", 0, true, true, false},
        {"neither", 0, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        list.Clear();
        auto s = Layout(12, c.levels);
        if (c.list) AddQuadripole(*s, {1, 2, 3, 4});
        ASSERT_TRUE(list.Append(std::move(s)));
        list.SetCurrent(0);
        for (const auto& [r, may] : {std::pair{computes.MayCompute(), c.compute}, std::pair{computes.MayShift(), c.shift}}) {
            EXPECT_EQ(bool(r), may);
            EXPECT_EQ(r.Message, may ? "" : "No set of depth level !!!");
        }
    }
    EXPECT_TRUE(asked.empty());
}

TEST_F(ComputeCommandsTest, TheNextSpreadIsANewEntryMovedComputedAndSaved) {
    auto first = Layout(12, 4);
    first->SetComment("first spread");
    first->SetSeqName("DD12");
    const std::string from = Listed(*first, "line.sqz");
    const std::string before = Read(from);
    const auto kept = std::make_unique<TElectSequence>(*list[0]);
    std::string proposed;
    const TFileResult r = computes.RollAlongAndSave(4, 0, [&](const std::string& p) -> std::optional<std::string> {
        proposed = p;
        asked.push_back("roll-along name");
        return Path("next.sqz");
    });

    EXPECT_EQ(r.Outcome, TFileOutcome::Done);
    EXPECT_EQ(proposed, Path("line~.sqz"));
    // The moved spread is shown before the options are read for its computation.
    EXPECT_EQ(asked, (std::vector<std::string>{"roll-along name", "entry shown", "options",
                                               "figures of " + std::to_string(list.CurrentSequence()->QuadripoleCount())}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.CurrentIndex(), 1);
    const TElectSequence& next = *list.CurrentSequence();
    EXPECT_EQ(TrimText(next.FileName), Path("next.sqz"));
    EXPECT_EQ(next.GetComment(), "first spread\r\n<-- Roll along from ( " + from + " ) On X grid : 4 Nodes -->");
    EXPECT_EQ(next.GetSeqName(), "DD12~1");
    EXPECT_EQ(next.Grid.OffsetX, 4.0f);
    auto moved = std::make_unique<TElectSequence>(*first);
    RollAlong(*moved, from, 4, 0);
    const std::vector<Abmn> expected = ComputedList(*moved, 4);
    ASSERT_FALSE(expected.empty());
    EXPECT_LT(expected.size(), ComputedList(*moved).size());
    EXPECT_EQ(ListOf(next), expected);
    EXPECT_EQ(ListOnDisk(Path("next.sqz")), expected);
    EXPECT_FALSE(list.Changed(1));
    // The spread rolled from keeps its contents and its file.
    EXPECT_TRUE(SameBytes(*list[0], *kept));
    EXPECT_EQ(Read(from), before);
    EXPECT_TRUE(host.Questions.empty());
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(ComputeCommandsTest, ARollAlongCancelledOrNotWrittenChangesNothing) {
    std::ofstream(Path("plain-file")) << "a file, not a folder";
    struct TCase {
        const char* what;
        std::optional<std::string> chosen;
        TFileOutcome outcome;
    };
    const TCase cases[] = {
        {"cancelled", std::nullopt, TFileOutcome::Cancelled},
        {"a folder that is a file", Path("plain-file/line~.sqz"), TFileOutcome::Failed},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        list.Clear();
        asked.clear();
        auto first = Layout(12, 4);
        const std::string from = Listed(*first, "line.sqz");
        const std::string before = Read(from);
        const auto kept = std::make_unique<TElectSequence>(*list.CurrentSequence());
        const TFileResult r =
            computes.RollAlongAndSave(4, 0, [&](const std::string&) { return c.chosen; });
        EXPECT_EQ(r.Outcome, c.outcome);
        if (c.chosen) {
            EXPECT_NE(r.Message.find(*c.chosen), std::string::npos) << r.Message;
        }
        EXPECT_TRUE(asked.empty());
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(list.CurrentIndex(), 0);
        EXPECT_TRUE(SameBytes(*list.CurrentSequence(), *kept));
        EXPECT_EQ(Read(from), before);
    }
}
