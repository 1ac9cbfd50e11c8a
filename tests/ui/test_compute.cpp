// The compute command, its results window, and the roll-along commands.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/Compute.h"
#include "tests/engine/SequenceBuilders.h"
#include "tests/ui/UiTest.h"
#include "ui/Format.h"
#include "ui/Viewcomputed.h"
#include "ui_Viewcomputed.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"

namespace {
// What one results window showed.
struct TShown {
    QString Title;
    QString Count, Injections, Channels, Time;
    QString OptCount, OptInjections, OptChannels, OptTime;
    bool OptFieldsEnabled = false;
    // Figures drawn as enabled, not greyed (each box with every figure in it).
    bool OriginalLive = false, OptimisedLive = false;
    // Typing into the time fields changes nothing.
    bool ReadOnly = false;
    bool FullNotice = false;
    bool Hourglass = false;
};

std::vector<std::array<std::uint16_t, 4>> ListOf(const TElectSequence& s) {
    std::vector<std::array<std::uint16_t, 4>> out;
    for (int q = 0; q <= s.Device.LastQuadripole; ++q) {
        const TQuadripole& p = s.Device.Quadripoles[q];
        out.push_back({p.A, p.B, p.M, p.N});
    }
    return out;
}

// A line or surface grid of nx x ny nodes, electrodes numbered row after row from 1, spacing 1,
// with the given array and the cells (a, 1..levels) selected; no quadripoles yet.
std::unique_ptr<TElectSequence> Layout(int array, int a, int levels, int nx, int ny = 1) {
    auto s = std::make_unique<TElectSequence>();
    std::vector<int> numbers;
    for (int e = 1; e <= nx * ny; ++e) numbers.push_back(e);
    PlaceElectrodes(*s, numbers);
    if (ny > 1) {
        TElectGrid& g = s->Grid;
        g.GridType = gtSurface;
        g.DY = 1.0f;
        g.NX = nx;
        g.NY = ny;
        for (int e = 1; e <= nx * ny; ++e) g.Nodes[e] = TElectGridNode{1, (e - 1) % nx + 1, (e - 1) / nx + 1};
    }
    s->SetArrayType(array);
    for (int n = 0; n < levels; ++n) s->SpacingLevels[a - 1].Selected[n] = 1;
    s->SpacingLevels[a - 1].SelectedCount = levels;
    s->NeedsRecompute = 1;
    return s;
}

std::unique_ptr<TElectSequence> CopyOf(const TElectSequence& from) { return std::make_unique<TElectSequence>(from); }

// What a command must leave: the compute workflow run on a copy with the window's options.
struct TRun {
    std::unique_ptr<TElectSequence> Sequence;
    TComputeFigures Figures;
};
TRun Computed(const TElectSequence& from, bool optimise, bool delPolar, int nodesX = 0, int nodesY = 0) {
    TRun run{CopyOf(from), {}};
    TComputeOptions options;
    options.Optimise = optimise;
    options.DelPolar = delPolar;
    options.NodesX = nodesX;
    options.NodesY = nodesY;
    run.Figures = RunComputation(*run.Sequence, options);
    return run;
}
std::vector<std::array<std::uint16_t, 4>> ComputedList(const TElectSequence& from, bool optimise, bool delPolar,
                                                       int nodesX = 0, int nodesY = 0) {
    return ListOf(*Computed(from, optimise, delPolar, nodesX, nodesY).Sequence);
}

std::unique_ptr<TElectSequence> ReadBack(const QString& path) {
    auto s = std::make_unique<TElectSequence>();
    EXPECT_TRUE(s->LoadFromFile(path.toStdString())) << path.toStdString();
    return s;
}
}  // namespace

class ComputeTest : public UiTest {
protected:
    static bool Live(std::initializer_list<QWidget*> figures) {
        return std::all_of(figures.begin(), figures.end(), [](QWidget* f) { return f->isEnabled(); });
    }
    static bool Unchanged(QLineEdit* edit) {
        const QString before = edit->text();
        QTest::keyClicks(edit, "9");
        QTest::keyClick(edit, Qt::Key_Backspace);
        return edit->isReadOnly() && edit->text() == before;
    }
    void SetUp() override {
        UiTest::SetUp();
        // Every results window is read and closed as soon as it is up.
        QObject::connect(&Closer, &QTimer::timeout, [this] {
            auto* view = qobject_cast<TViewComputedFRm*>(QApplication::activeModalWidget());
            if (!view || !view->isVisible()) return;
            const Ui::TViewComputedFRm& v = *view->ui;
            Shown.push_back({view->windowTitle(), v.OriginalQuadMaxLblx->text(), v.OriginalInjectionLblx->text(),
                             v.NumberOfChannelLblx->text(), v.EstimatedAcquisitionTimeTxt->text(),
                             v.OptimizedQuadMaxLblx->text(), v.OptimizedStepCountLblx->text(),
                             v.OptimizedChanUsedLblx->text(), v.OptimizedEstimatedAcquisitionTimeTxt->text(),
                             v.OptimizedQuadMaxLblx->isEnabledTo(v.OptimizeGb) &&
                                 v.OptimizedEstimatedAcquisitionTimeTxt->isEnabledTo(v.OptimizeGb),
                             Live({v.OriginalQuadMaxLblx, v.OriginalInjectionLblx, v.NumberOfChannelLblx,
                                   v.EstimatedAcquisitionTimeTxt}),
                             Live({v.OptimizedQuadMaxLblx, v.OptimizedStepCountLblx, v.OptimizedChanUsedLblx,
                                   v.OptimizedEstimatedAcquisitionTimeTxt}),
                             Unchanged(v.EstimatedAcquisitionTimeTxt) && Unchanged(v.OptimizedEstimatedAcquisitionTimeTxt),
                             !v.MaxQuadriploleLbl->isHidden(), QApplication::overrideCursor() != nullptr});
            v.OkBtn->click();
        });
        Closer.start(2);
    }
    void TearDown() override {
        Closer.stop();
        UiTest::TearDown();
    }

    // Writes s under name, lists it alone and starts the window on it.
    std::unique_ptr<TMainFrm> StartWith(TElectSequence& s, const QString& name) {
        WriteSequence(s, Path(name));
        WriteList({Path(name)});
        return Start();
    }
    static void SetBoxes(TMainFrm& w, bool optimise, bool delPolar) {
        Find<QCheckBox>(w, "MultiChannelOptimizationCb")->setChecked(optimise);
        Find<QCheckBox>(w, "DelPolarEffectCb")->setChecked(delPolar);
    }
    // The results window shows the workflow's figures; the optimised ones empty and disabled
    // when there are none.
    static void ExpectFigures(const TShown& shown, const TComputeFigures& f) {
        EXPECT_EQ(shown.Count, QString::number(f.Original.Quadripoles));
        EXPECT_EQ(shown.Injections, QString::number(f.Original.Injections));
        EXPECT_EQ(shown.Channels, QString::number(f.Original.Channels));
        EXPECT_EQ(shown.Time, FormatDuration(f.Original.AcquisitionTime));
        EXPECT_EQ(shown.FullNotice, f.Full);
        EXPECT_TRUE(shown.OriginalLive);
        const TListFigures none{};
        const TListFigures& opt = f.Optimised ? *f.Optimised : none;
        EXPECT_EQ(shown.OptCount, f.Optimised ? QString::number(opt.Quadripoles) : QString());
        EXPECT_EQ(shown.OptInjections, f.Optimised ? QString::number(opt.Injections) : QString());
        EXPECT_EQ(shown.OptChannels, f.Optimised ? QString::number(opt.Channels) : QString());
        EXPECT_EQ(shown.OptTime, f.Optimised ? FormatDuration(opt.AcquisitionTime) : QString());
        EXPECT_EQ(shown.OptFieldsEnabled, f.Optimised.has_value());
        EXPECT_EQ(shown.OptimisedLive, f.Optimised.has_value());
    }
    // Opens the shift prompt with the command, types the shifts and confirms.
    static void Shift(TMainFrm& w, bool newSequence, const QString& dx, const QString& dy = "0") {
        if (newSequence)
            w.CreateNewSeqBtnClick();
        else
            w.MoveComputeBtnClick();
        Find<QLineEdit>(w, "NodeToMoveXTxt")->setText(dx);
        Find<QLineEdit>(w, "NodeToMoveYTxt")->setText(dy);
        w.MovePanelOkBtnClick();
    }

    QTimer Closer;
    std::vector<TShown> Shown;
};

TEST_F(ComputeTest, DipoleDipoleLineShowsItsFiguresBeforeAndAfterOptimisationAndTheList) {
    // Twelve electrodes, a = 2, levels 1..4: 7 + 6 + 5 + 4 quadripoles, none of them sharing an
    // injection with the one before until the optimisation chains them.
    auto layout = Layout(1, 2, 4, 12);
    auto w = StartWith(*layout, "line.sqz");
    SetBoxes(*w, true, true);
    Find<QPushButton>(w, "ComputeBtn")->click();

    ASSERT_EQ(Shown.size(), 1u);
    const TShown& shown = Shown[0];
    EXPECT_EQ(shown.Title, "Computed");
    EXPECT_EQ(shown.Count, "22");
    EXPECT_EQ(shown.Injections, "22");
    EXPECT_EQ(shown.Channels, "1");
    const TRun optimised = Computed(*layout, true, true);
    ExpectFigures(shown, optimised.Figures);
    EXPECT_NE(shown.OptInjections, shown.Injections);
    EXPECT_TRUE(shown.ReadOnly);
    EXPECT_FALSE(shown.FullNotice);
    EXPECT_FALSE(shown.Hourglass);

    const TElectSequence& s = *w->Current();
    EXPECT_EQ(ListOf(s), ListOf(*optimised.Sequence));
    EXPECT_EQ(s.NeedsRecompute, 0);
    EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), shown.OptCount);
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->Cells(1, 1), "1");
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->Cells(2, 1), "3");
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->Cells(3, 1), "4");
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->Cells(4, 1), "6");
    // The command saves what it computed and offers the roll-along.
    EXPECT_EQ(ListOf(*ReadBack(Path("line.sqz"))), ListOf(*optimised.Sequence));
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
}

TEST_F(ComputeTest, PolarisationDeletionRunsOnlyAfterTheOptimisation) {
    // WS reciprocal on eight electrodes: the optimisation and the polarisation deletion each
    // change this list, so the list tells which of them ran.
    auto layout = Layout(7, 1, 4, 8);
    auto w = StartWith(*layout, "ws.sqz");
    struct TCase {
        bool optimise, delPolar;
    };
    for (const TCase c : {TCase{true, true}, TCase{true, false}, TCase{false, true}, TCase{false, false}}) {
        SCOPED_TRACE(testing::Message() << "optimise " << c.optimise << " delPolar " << c.delPolar);
        Shown.clear();
        SetBoxes(*w, c.optimise, c.delPolar);
        w->ComputeBtnClick();
        ASSERT_EQ(Shown.size(), 1u);
        const TRun expected = Computed(*layout, c.optimise, c.delPolar);
        EXPECT_EQ(ListOf(*w->Current()), ListOf(*expected.Sequence));
        ExpectFigures(Shown[0], expected.Figures);
        EXPECT_EQ(Shown[0].OptCount.isEmpty(), !c.optimise);
    }
    // The three lists differ, so the table above told them apart.
    EXPECT_NE(ComputedList(*layout, true, true), ComputedList(*layout, true, false));
    EXPECT_NE(ComputedList(*layout, true, false), ComputedList(*layout, false, false));
}

TEST_F(ComputeTest, TheReversalIsAskedAndCancelComputesUnreversed) {
    auto layout = Layout(1, 1, 2, 8);
    auto w = StartWith(*layout, "line.sqz");
    const auto plain = ComputedList(*layout, false, false);
    struct TCase {
        TMsgResult answer;
        bool reversed;
    };
    for (const TCase c : {TCase{TMsgResult::Cancel, false}, TCase{TMsgResult::Ok, true}}) {
        SCOPED_TRACE(c.reversed);
        Seam.Questions.clear();
        Seam.Answers = {c.answer};
        SetBoxes(*w, false, false);
        Find<QCheckBox>(w, "SwapABMNCb")->setChecked(true);
        w->ComputeBtnClick();
        ASSERT_EQ(Seam.Questions.size(), 1u);
        EXPECT_EQ(Seam.Questions[0].Text, "All quadripoles will be reversed A<->M , B<->N");
        EXPECT_EQ(Seam.Questions[0].Caption, "Warning");
        EXPECT_EQ(Seam.Questions[0].Buttons, TMsgButtons::OkCancel);
        EXPECT_EQ(Seam.Questions[0].Icon, TMsgIcon::Information);
        EXPECT_EQ(Find<QCheckBox>(w, "SwapABMNCb")->isChecked(), c.reversed);
        const auto list = ListOf(*w->Current());
        ASSERT_EQ(list.size(), plain.size());
        const auto& first = plain.front();
        const std::array<std::uint16_t, 4> mnab{first[2], first[3], first[0], first[1]};
        EXPECT_EQ(list.front(), c.reversed ? mnab : first);
    }
    // Unticked, nothing is asked.
    Seam.Questions.clear();
    Find<QCheckBox>(w, "SwapABMNCb")->setChecked(false);
    w->ComputeBtnClick();
    EXPECT_TRUE(Seam.Questions.empty());
}

TEST_F(ComputeTest, CommandsWithoutDepthLevelCellsAreRefused) {
    auto layout = Layout(1, 1, 0, 8);
    auto w = StartWith(*layout, "empty.sqz");
    const qint64 written = QFileInfo(Path("empty.sqz")).lastModified().toMSecsSinceEpoch();
    struct TCase {
        const char* command;
        void (TMainFrm::*click)();
    };
    const TCase cases[] = {{"compute", &TMainFrm::ComputeBtnClick},
                           {"uncomplete compute", &TMainFrm::MoveComputeBtnClick},
                           {"roll along", &TMainFrm::CreateNewSeqBtnClick}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.command);
        Seam.Messages.clear();
        (w.get()->*c.click)();
        EXPECT_EQ(Seam.Messages, QStringList{"No set of depth level !!!"});
        EXPECT_TRUE(Find<QFrame>(w, "MovePanel")->isHidden());
    }
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(w->Current()->Device.LastQuadripole, -1);
    EXPECT_EQ(QFileInfo(Path("empty.sqz")).lastModified().toMSecsSinceEpoch(), written);

    // A list without cells (an imported mixed-array list) is still counted by the compute.
    auto mixed = MakeSequence(6);
    mixed->SetArrayType(0);
    for (auto& level : mixed->SpacingLevels) level = TSpacingLevel();
    WriteSequence(*mixed, Path("mixed.sqz"));
    w->OpenSequenceFile(Path("mixed.sqz"));
    Seam.Messages.clear();
    w->ComputeBtnClick();
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
    EXPECT_EQ(Shown.size(), 1u);
    EXPECT_EQ(w->Current()->Device.LastQuadripole, 5);
    EXPECT_EQ(ListOf(*w->Current()), ComputedList(*mixed, true, true));
}

TEST_F(ComputeTest, AShiftOutOfRangeIsClampedWithABeepAndComputesNothing) {
    auto layout = Layout(1, 1, 4, 12);
    auto w = StartWith(*layout, "line.sqz");
    struct TCase {
        QString typed, shown;
    };
    for (const TCase& c : {TCase{"500", "12"}, TCase{"-3", "0"}, TCase{"five", "0"}}) {
        SCOPED_TRACE(c.typed.toStdString());
        const int beeps = Seam.Beeps;
        w->MoveComputeBtnClick();
        ASSERT_FALSE(Find<QFrame>(w, "MovePanel")->isHidden());
        Find<QLineEdit>(w, "NodeToMoveXTxt")->setText(c.typed);
        w->MovePanelOkBtnClick();
        EXPECT_EQ(Seam.Beeps, beeps + 1);
        EXPECT_EQ(Find<QLineEdit>(w, "NodeToMoveXTxt")->text(), c.shown);
        EXPECT_FALSE(Find<QFrame>(w, "MovePanel")->isHidden());
        w->MovePanelCancelBtnClick();
        EXPECT_TRUE(Find<QFrame>(w, "MovePanel")->isHidden());
    }
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(w->Current()->Device.LastQuadripole, -1);
    w->MovePanelHelpBtnClick();
    EXPECT_EQ(Seam.HelpIds, std::vector<int>{1300});
}

TEST_F(ComputeTest, AFullListIsShownWithItsNotice) {
    for (const int count : {kMaxQuadripoles - 1, kMaxQuadripoles}) {
        SCOPED_TRACE(count);
        Shown.clear();
        auto full = MakeSequence(count);
        full->SetArrayType(0);
        auto w = StartWith(*full, "full.sqz");
        SetBoxes(*w, false, false);
        w->ComputeBtnClick();
        ASSERT_EQ(Shown.size(), 1u);
        EXPECT_EQ(Shown[0].Count, QString::number(count));
        EXPECT_EQ(Shown[0].FullNotice, count == kMaxQuadripoles);
        EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
        Close(w);
    }
}

TEST_F(ComputeTest, TheShiftArrowsStepWithinTheGrid) {
    auto layout = Layout(1, 1, 4, 30);
    auto w = StartWith(*layout, "line.sqz");
    w->CreateNewSeqBtnClick();
    EXPECT_EQ(Find<TUpDown>(w, "NodeToMoveXUpDown")->maximum(), 30);
    Find<TUpDown>(w, "NodeToMoveXUpDown")->stepUp();
    EXPECT_EQ(Find<QLineEdit>(w, "NodeToMoveXTxt")->text(), "12");
    Find<QLineEdit>(w, "NodeToMoveXTxt")->setText("25");
    Find<TUpDown>(w, "NodeToMoveXUpDown")->stepUp();
    EXPECT_EQ(Find<QLineEdit>(w, "NodeToMoveXTxt")->text(), "30");
    Find<TUpDown>(w, "NodeToMoveXUpDown")->stepDown();
    EXPECT_EQ(Find<QLineEdit>(w, "NodeToMoveXTxt")->text(), "18");
    w->MovePanelCancelBtnClick();
    EXPECT_TRUE(Find<QFrame>(w, "MovePanel")->isHidden());
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_TRUE(Seam.Dialogs.empty());
}

TEST_F(ComputeTest, UncompleteComputeCutsTheCoveredPartIntoTheSameFile) {
    auto layout = Layout(1, 1, 4, 12);
    auto w = StartWith(*layout, "line.sqz");
    SetBoxes(*w, false, false);
    Shift(*w, false, "4");
    ASSERT_EQ(Shown.size(), 1u);
    // Quadripoles standing wholly on columns 1..8 were measured by the previous spread.
    const auto list = ListOf(*w->Current());
    ASSERT_FALSE(list.empty());
    EXPECT_LT(list.size(), ComputedList(*layout, false, false).size());
    for (const auto& q : list) EXPECT_GE(std::max({q[0], q[1], q[2], q[3]}), 9) << q[0] << q[1] << q[2] << q[3];
    EXPECT_EQ(list, ComputedList(*layout, false, false, 4));
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(w->Current()->Grid.OffsetX, 0.0f);
    EXPECT_EQ(ListOf(*ReadBack(Path("line.sqz"))), list);
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());
}

TEST_F(ComputeTest, RollAlongIntoANewFile) {
    struct TCase {
        int dx;
        bool cut;
    };
    for (const TCase c : {TCase{4, true}, TCase{0, false}}) {
        SCOPED_TRACE(c.dx);
        auto layout = Layout(1, 1, 4, 12);
        layout->SetComment("first spread");
        layout->SetSeqName("DD12");
        const QString source = Path(QString("line%1.sqz").arg(c.dx));
        const QString rolled = Path(QString("line%1~.sqz").arg(c.dx));
        auto w = StartWith(*layout, QFileInfo(source).fileName());
        const QByteArray before = [&] {
            QFile f(source);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        Seam.Files = {rolled};
        Shift(*w, true, QString::number(c.dx));

        ASSERT_EQ(Seam.Dialogs.size(), 1u);
        EXPECT_EQ(Seam.Dialogs[0].FileName, rolled);
        ASSERT_EQ(w->List().Count(), 2);
        EXPECT_EQ(w->List().CurrentIndex(), 1);
        TElectSequence& s = *w->Current();
        EXPECT_EQ(QString(s.FileName), rolled);
        EXPECT_EQ(s.GetComment(), "first spread\r\n<-- Roll along from ( " + source.toStdString() + " ) On X grid : " +
                                      std::to_string(c.dx) + " Nodes -->");
        EXPECT_EQ(s.GetSeqName(), "DD12~1");
        EXPECT_EQ(s.Grid.OffsetX, float(c.dx));
        // The new spread's positions, cut where the previous one already measured.
        auto moved = CopyOf(*layout);
        RollAlong(*moved, source.toStdString(), c.dx, 0);
        const auto expected = ComputedList(*moved, true, true, c.dx);
        EXPECT_EQ(ListOf(s), expected);
        EXPECT_EQ(expected.size() < ComputedList(*moved, true, true).size(), c.cut);
        EXPECT_EQ(ListOf(*ReadBack(rolled)), expected);
        EXPECT_EQ(ReadBack(rolled)->GetSeqName(), "DD12~1");
        // The spread rolled from is untouched, in the list and on disk.
        const TElectSequence& first = *w->List()[0];
        EXPECT_EQ(QString(first.FileName), source);
        EXPECT_EQ(first.GetComment(), "first spread");
        EXPECT_EQ(first.GetSeqName(), "DD12");
        EXPECT_EQ(first.Grid.OffsetX, 0.0f);
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before);
        Close(w);
        Seam.Dialogs.clear();
        Shown.clear();
    }
}

TEST_F(ComputeTest, RollAlongCancelledOrFailingToSaveChangesNothing) {
    auto layout = Layout(1, 1, 4, 12);
    layout->SetComment("first spread");
    auto w = StartWith(*layout, "line.sqz");
    // A folder that is a plain file cannot take the new sequence.
    QFile(Path("plain-file")).open(QIODevice::WriteOnly);
    struct TCase {
        QString chosen;
        int messages;
    };
    for (const TCase& c : {TCase{"", 0}, TCase{Path("plain-file/line~.sqz"), 1}}) {
        SCOPED_TRACE(c.chosen.toStdString());
        Seam.Messages.clear();
        Seam.Files = {c.chosen};
        Shift(*w, true, "4");
        EXPECT_EQ(Seam.Messages.size(), c.messages) << Seam.Messages.join('|').toStdString();
        if (c.messages) {
            EXPECT_TRUE(Seam.Messages[0].contains(c.chosen)) << Seam.Messages[0].toStdString();
        }
        EXPECT_EQ(w->List().Count(), 1);
        EXPECT_EQ(w->List().CurrentIndex(), 0);
        const TElectSequence& s = *w->Current();
        EXPECT_EQ(QString(s.FileName), Path("line.sqz"));
        EXPECT_EQ(s.GetComment(), "first spread");
        EXPECT_EQ(s.GetSeqName(), "NewSeq");
        EXPECT_EQ(s.Grid.OffsetX, 0.0f);
        EXPECT_EQ(s.Device.LastQuadripole, -1);
        EXPECT_TRUE(Shown.empty());
        EXPECT_TRUE(Find<QFrame>(w, "MovePanel")->isHidden());
    }
    EXPECT_FALSE(QFileInfo::exists(Path("line~.sqz")));
    EXPECT_EQ(ReadBack(Path("line.sqz"))->GetComment(), "first spread");
}

TEST_F(ComputeTest, SurfaceRollAlongAlongRowsAndLinesIgnoreTheHiddenRowShift) {
    // Surface, 6 x 6: moved 0 columns and 2 rows, only the rows are cut.
    auto surface = Layout(1, 1, 2, 6, 6);
    auto w = StartWith(*surface, "grid.sqz");
    w->CreateNewSeqBtnClick();
    EXPECT_FALSE(Find<QWidget>(w, "NodeMoveYPanel")->isHidden());
    Seam.Files = {Path("grid~.sqz")};
    Find<QLineEdit>(w, "NodeToMoveXTxt")->setText("0");
    Find<QLineEdit>(w, "NodeToMoveYTxt")->setText("2");
    w->MovePanelOkBtnClick();
    ASSERT_EQ(w->List().Count(), 2);
    TElectSequence& s = *w->Current();
    EXPECT_EQ(s.GetComment(), "\r\n<-- Roll along from ( " + Path("grid.sqz").toStdString() +
                                  " ) On X grid : 0 Nodes / On Y grid : 2 Nodes -->");
    EXPECT_EQ(s.Grid.OffsetX, 0.0f);
    EXPECT_EQ(s.Grid.OffsetY, 2.0f);
    const auto list = ListOf(s);
    ASSERT_FALSE(list.empty());
    // Electrode e stands in row (e - 1) / 6 + 1: rows 1..4 were covered before.
    for (const auto& q : list) EXPECT_GE(std::max({q[0], q[1], q[2], q[3]}), 25);

    // A line grid hides the row shift: whatever its edit still holds, only columns are cut.
    auto line = Layout(1, 1, 4, 12);
    WriteSequence(*line, Path("line.sqz"));
    w->OpenSequenceFile(Path("line.sqz"));
    Seam.Files = {Path("line~.sqz")};
    w->CreateNewSeqBtnClick();
    EXPECT_TRUE(Find<QWidget>(w, "NodeMoveYPanel")->isHidden());
    Find<QLineEdit>(w, "NodeToMoveXTxt")->setText("4");
    Find<QLineEdit>(w, "NodeToMoveYTxt")->setText("2");
    w->MovePanelOkBtnClick();
    ASSERT_EQ(w->List().Count(), 4);
    EXPECT_EQ(w->Current()->GetComment(),
              "\r\n<-- Roll along from ( " + Path("line.sqz").toStdString() + " ) On X grid : 4 Nodes -->");
    const auto lineList = ListOf(*w->Current());
    ASSERT_FALSE(lineList.empty());
    for (const auto& q : lineList) EXPECT_GE(std::max({q[0], q[1], q[2], q[3]}), 9);
}

// A computation that gives no quadripole says so, and why, instead of figures of an
// acquisition that does not exist; the sequence it just computed is not questioned on saving.
TEST_F(ComputeTest, AComputationWithoutQuadripolesSaysWhyAndWhatToDo) {
    const struct {
        const char* what;
        int level;  // of spacing coefficient 9 selected by hand; 0: the automatic grid filling
        const char* why;
    } cases[] = {
        {"automatic grid filling", 0, "no depth level is selected for this array on this layout."},
        {"a level deeper than the holes", 128, "none of the selected depth levels gives a quadripole on this layout."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        auto s = std::make_unique<TElectSequence>();
        PlaceGrid(*s, gtBorehole, 2, 16, 5.0f, 1.0f);
        s->SetArrayType(batDipoleDipoleDiagonal);
        if (k.level > 0) {
            s->SpacingLevels[8].Selected[k.level - 1] = 1;
            s->SpacingLevels[8].SelectedCount = 1;
        }
        s->NeedsRecompute = 1;
        auto w = StartWith(*s, "holes.sqz");
        Shown.clear();
        Seam.Messages.clear();
        Seam.Questions.clear();
        Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
        if (k.level > 0)
            Find<QPushButton>(w, "ComputeBtn")->click();
        else
            Find<QPushButton>(w, "AutoGridDepthLevelBtn")->click();
        EXPECT_TRUE(Shown.empty());
        ASSERT_EQ(Seam.Messages.size(), 1);
        EXPECT_EQ(Seam.Messages[0], QString("No quadripole was computed: ") + k.why +
                                        "\nSelect depth levels by hand in the grid of the Configuration tab (a "
                                        "double click selects a cell), then compute again.");
        EXPECT_TRUE(Seam.Questions.empty()) << Seam.Questions[0].Text.toStdString();
        EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), "0");
        EXPECT_EQ(w->Current()->NeedsRecompute, 0);
        Close(w);
    }
}
