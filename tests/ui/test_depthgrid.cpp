// The depth-level grid: which cells may be selected, the counts written back into the
// sequence, the depth hints, and the automatic creation commands with their depth prompt.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <cstring>

#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui/ConfigurationPanel.h"
#include "ui/UpDown.h"

class DepthGridTest : public UiTest {
protected:
    // A window showing a dipole-dipole line of the given electrodes (row 1, levels 1..8
    // selected), its depth tables computed, on the configuration tab.
    std::unique_ptr<TMainFrm> Show(int electrodes, int quadripoles = 0) {
        auto s = MakeSequence(quadripoles, 1.0f, electrodes);
        WriteSequence(*s, Path("grid.sqz"));
        WriteList({Path("grid.sqz")});
        auto w = Start();
        w->Current()->ComputeSpacingLevelDepths(true, 128);
        w->SetActivePage(Find<QTabWidget>(w, "PageControl1")->indexOf(Find<QWidget>(w, "ConfigurationTbs")));
        QApplication::processEvents();
        return w;
    }
    static TStringGrid* Grid(TMainFrm& w) { return Find<TStringGrid>(w, "SpacingLevelGd"); }
    static QModelIndex Index(TMainFrm& w, int col, int row) { return Grid(w)->model()->index(row - 1, col - 1); }
    // Selects the cells (c0, r0)..(c1, r1) of the grid, as a drag would.
    static void Select(TMainFrm& w, int c0, int r0, int c1, int r1) {
        QItemSelectionModel* m = Grid(w)->selectionModel();
        m->setCurrentIndex(Index(w, c0, r0), QItemSelectionModel::NoUpdate);
        m->select(QItemSelection(Index(w, c0, r0), Index(w, c1, r1)), QItemSelectionModel::ClearAndSelect);
    }
    static QPoint Centre(TMainFrm& w, int col, int row) { return Grid(w)->visualRect(Index(w, col, row)).center(); }
    static QString RowText(TMainFrm& w, int row, int c0, int c1) {
        QString t;
        for (int c = c0; c <= c1; ++c) t += Grid(w)->Cells(c, row).isEmpty() ? "." : Grid(w)->Cells(c, row);
        return t;
    }
};

TEST_F(DepthGridTest, DoubleClickTogglesOnlyCellsTheSpreadHolds) {
    // On 48 electrodes, dipole-dipole level 45 of row 1 fits once, level 46 not at all.
    auto w = Show(48);
    TElectSequence& s = *w->Current();
    TStringGrid* g = Grid(*w);

    Select(*w, 46, 1, 46, 1);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(g->Cells(46, 1), "#");
    EXPECT_EQ(s.SpacingLevels[0].Selected[44], 1);
    EXPECT_EQ(g->Cells(1, 1), "9");
    EXPECT_EQ(s.SpacingLevels[0].SelectedCount, 9);
    EXPECT_EQ(s.NeedsRecompute, 1);

    w->SpacingLevelGdDblClick();  // and off again
    EXPECT_EQ(g->Cells(46, 1), "");
    EXPECT_EQ(s.SpacingLevels[0].Selected[44], 0);
    EXPECT_EQ(g->Cells(1, 1), "8");

    Select(*w, 47, 1, 47, 1);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(g->Cells(47, 1), "");
    EXPECT_EQ(s.SpacingLevels[0].Selected[45], 0);
    EXPECT_EQ(s.SpacingLevels[0].SelectedCount, 8);

    // The count column is not a level: nothing is written into it.
    Select(*w, 1, 2, 1, 2);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(g->Cells(1, 2), "");
    EXPECT_EQ(s.SpacingLevels[1].SelectedCount, 0);
    EXPECT_TRUE(Seam.Messages.isEmpty());

    // In a borehole every cell may be measured, known depth or not.
    s.Grid.GridType = gtBorehole;
    s.ClearSpacingLevelDepths();
    Select(*w, 47, 1, 47, 1);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(g->Cells(47, 1), "#");
    EXPECT_EQ(s.SpacingLevels[0].SelectedCount, 9);
}

TEST_F(DepthGridTest, ARealDoubleClickReachesTheHandler) {
    auto w = Show(48);
    Grid(*w)->scrollTo(Index(*w, 12, 3));
    QTest::mouseDClick(Grid(*w)->viewport(), Qt::LeftButton, {}, Centre(*w, 12, 3));
    EXPECT_EQ(Grid(*w)->Cells(12, 3), "#");
    EXPECT_EQ(w->Current()->SpacingLevels[2].Selected[10], 1);
    EXPECT_EQ(Grid(*w)->Cells(1, 3), "1");
}

TEST_F(DepthGridTest, DraggingAlongARowSelectsTheCellsThatFit) {
    // 12 electrodes: row 2 (a = 2) of dipole-dipole holds levels up to 7 (12 - 4 - 7 = 1).
    auto w = Show(12);
    TElectSequence& s = *w->Current();
    TStringGrid* g = Grid(*w);

    Select(*w, 4, 2, 11, 2);  // levels 3..10
    w->SpacingLevelGdClick();
    EXPECT_EQ(RowText(*w, 2, 2, 12), "..#####....");
    EXPECT_EQ(g->Cells(1, 2), "5");
    EXPECT_EQ(s.SpacingLevels[1].SelectedCount, 5);
    for (int n = 3; n <= 7; ++n) EXPECT_EQ(s.SpacingLevels[1].Selected[n - 1], 1) << n;
    EXPECT_EQ(s.SpacingLevels[1].Selected[7], 0);
    EXPECT_TRUE(Find<QPushButton>(w, "ComputeBtn")->isEnabled());
    // New cells make the computed list stale.
    EXPECT_EQ(s.NeedsRecompute, 1);

    // Over cells already selected nothing is new, and the list is not flagged again.
    s.NeedsRecompute = 0;
    Select(*w, 5, 2, 7, 2);
    w->SpacingLevelGdClick();
    EXPECT_EQ(s.SpacingLevels[1].SelectedCount, 5);
    EXPECT_EQ(s.NeedsRecompute, 0);

    // Several rows, or one cell, change nothing.
    Select(*w, 2, 3, 4, 4);
    w->SpacingLevelGdClick();
    Select(*w, 2, 3, 2, 3);
    w->SpacingLevelGdClick();
    EXPECT_EQ(RowText(*w, 3, 1, 5), ".....");
    EXPECT_EQ(RowText(*w, 4, 1, 5), ".....");
    EXPECT_EQ(s.NeedsRecompute, 0);

    // A drag starting on the count column selects from the first level on.
    Select(*w, 1, 3, 3, 3);
    w->SpacingLevelGdClick();
    EXPECT_EQ(RowText(*w, 3, 1, 4), "2##.");
    EXPECT_EQ(s.SpacingLevels[2].SelectedCount, 2);
}

TEST_F(DepthGridTest, AMouseDragSelectsWhenTheButtonIsReleased) {
    auto w = Show(12);
    QWidget* vp = Grid(*w)->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, Centre(*w, 4, 2));
    QTest::mouseMove(vp, Centre(*w, 8, 2));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, Centre(*w, 8, 2));
    EXPECT_EQ(RowText(*w, 2, 1, 10), "5..#####..");

    // The range stays selected for Delete; a click on one of its cells then selects nothing.
    EXPECT_EQ(Find<TConfigurationPanel>(w, "ConfigurationTbs")->SpacingLevelSelection(),
              QRect(QPoint(4, 2), QPoint(8, 2)));
    QTest::keyClick(Grid(*w), Qt::Key_Delete);
    EXPECT_EQ(RowText(*w, 2, 1, 10), "..........");
    QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(*w, 6, 2));
    EXPECT_EQ(RowText(*w, 2, 1, 10), "..........");
}

TEST_F(DepthGridTest, DeleteEmptiesTheSelectionAndRecountsEveryRow) {
    auto w = Show(48);
    TElectSequence& s = *w->Current();
    Select(*w, 4, 2, 9, 2);
    w->SpacingLevelGdClick();
    ASSERT_EQ(s.GetSpacingLevelCount(), 14);
    s.NeedsRecompute = 0;
    const bool computeBefore = Find<QPushButton>(w, "ComputeBtn")->isEnabled();

    Select(*w, 1, 1, 6, 2);  // levels 1..5 of rows 1 and 2, and their count cells
    int key = 46;
    w->SpacingLevelGdKeyDown(key, {});
    EXPECT_EQ(RowText(*w, 1, 1, 10), "3.....###.");
    EXPECT_EQ(RowText(*w, 2, 1, 10), "3.....###.");
    EXPECT_EQ(s.SpacingLevels[0].SelectedCount, 3);
    EXPECT_EQ(s.SpacingLevels[1].SelectedCount, 3);
    EXPECT_EQ(s.SpacingLevels[0].Selected[0], 0);
    EXPECT_EQ(s.SpacingLevels[0].Selected[5], 1);
    EXPECT_EQ(s.NeedsRecompute, 1);

    // Everything gone: the buttons follow only when the grid is left.
    Select(*w, 2, 1, 129, 9);
    w->SpacingLevelGdKeyDown(key, {});
    EXPECT_EQ(s.GetSpacingLevelCount(), 0);
    EXPECT_EQ(Find<QPushButton>(w, "ComputeBtn")->isEnabled(), computeBefore);
    w->SpacingLevelGdExit();
    EXPECT_EQ(Find<QLabel>(w, "TotalLevelTxt")->text(), "0");
    EXPECT_FALSE(Find<QPushButton>(w, "ComputeBtn")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w, "MoveComputeBtn")->isEnabled());

    // Another key does nothing.
    Select(*w, 3, 3, 3, 3);
    w->SpacingLevelGdDblClick();
    key = 45;
    w->SpacingLevelGdKeyDown(key, {});
    EXPECT_EQ(s.GetSpacingLevelCount(), 1);
}

TEST_F(DepthGridTest, LeavingTheGridShowsTheTotalAndSetsTheButtons) {
    auto w = Show(48);
    struct Case {
        int arrayIndex;
        bool cells;
        bool compute, move;
    };
    for (const Case& c : {Case{1, true, true, true}, Case{0, true, true, false}, Case{1, false, false, false}}) {
        {
            const QSignalBlocker quiet(Find<QComboBox>(w, "ArrayTypeList"));
            Find<QComboBox>(w, "ArrayTypeList")->setCurrentIndex(c.arrayIndex);
        }
        Select(*w, 2, 1, 129, 9);
        int key = 46;
        w->SpacingLevelGdKeyDown(key, {});
        if (c.cells) {
            Select(*w, 2, 1, 4, 1);
            w->SpacingLevelGdClick();
        }
        w->SpacingLevelGdExit();
        EXPECT_EQ(Find<QLabel>(w, "TotalLevelTxt")->text(), c.cells ? "3" : "0") << c.arrayIndex << c.cells;
        EXPECT_EQ(Find<QPushButton>(w, "ComputeBtn")->isEnabled(), c.compute) << c.arrayIndex << c.cells;
        EXPECT_EQ(Find<QPushButton>(w, "MoveComputeBtn")->isEnabled(), c.move) << c.arrayIndex << c.cells;
    }
}

TEST_F(DepthGridTest, ThePointerShowsTheDepthsOfTheCellAsTheHint) {
    auto w = Show(48);
    TElectSequence& s = *w->Current();
    TStringGrid* g = Grid(*w);
    s.SpacingLevels[1].DepthX[2] = 12.34f;  // cell (a = 2, n = 3): column 4, row 2
    s.SpacingLevels[1].DepthY[2] = 4.0f;
    s.SpacingLevels[1].DepthX[3] = 0.0f;
    s.SpacingLevels[1].DepthY[3] = 0.0f;
    struct Case {
        TGridType type;
        int col;
        const char* hint;
    };
    const Case cases[] = {
        {gtLine, 4, "Maximun investigation depth :\r\n on X = 12.3 m"},
        {gtLine, 5, "Maximun investigation depth :\r\n on X = not available"},
        {gtSurface, 4, "Maximun investigation depth :\r\n on X = 12.3 m\r\n on Y = 4.0 m"},
        {gtBorehole, 5, "Maximun investigation depth :\r\n on X = not available\r\n on Z = not available"},
    };
    for (const Case& c : cases) {
        s.Grid.GridType = c.type;
        const QPoint at = Centre(*w, c.col, 2);
        w->SpacingLevelGdMouseMove({}, at.x(), at.y());
        EXPECT_EQ(g->toolTip(), QString(c.hint)) << c.type << ' ' << c.col;
    }

    // Over the count column the hint stays.
    const QPoint count = Centre(*w, 1, 2);
    w->SpacingLevelGdMouseMove({}, count.x(), count.y());
    EXPECT_EQ(g->toolTip(), QString(cases[3].hint));

    // A pointer move reaching the grid sets it too. The event goes to the viewport itself, so
    // that whatever else the window shows over the grid cannot take it.
    s.Grid.GridType = gtLine;
    const QPoint p = Centre(*w, 4, 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(g->viewport()->mapToGlobal(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g->viewport(), &move);
    EXPECT_EQ(g->toolTip(), QString(cases[0].hint));
}

// Showing another sequence while on the Configuration tab: its depth tables, hints and
// commands are the ones shown, not those of the sequence before.
TEST_F(DepthGridTest, TheGridHintsAndCommandsFollowTheSequenceShown) {
    auto hole = MakeSequence(20);
    hole->Grid.GridType = gtBorehole;
    hole->SetArrayType(1);
    WriteSequence(*hole, Path("hole.sqz"));
    WriteSequenceFile(Path("line.sqz"), 20);  // 48 electrodes, row 1 levels 1..8 selected
    WriteList({Path("hole.sqz"), Path("line.sqz")});
    Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 0);
    auto w = Start();
    TStringGrid* g = Grid(*w);
    auto hintOver = [&](int col, int row) {
        const QPoint at = Centre(*w, col, row);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(g->viewport()->mapToGlobal(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(g->viewport(), &move);
        return g->toolTip();
    };
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    ASSERT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "ConfigurationTbs"));
    EXPECT_TRUE(Find<QPushButton>(w, "AutomaticCreationBtn")->isHidden());
    EXPECT_FALSE(hintOver(3, 1).isEmpty());

    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
    ASSERT_EQ(w->Current()->Grid.GridType, gtLine);
    EXPECT_FALSE(Find<QPushButton>(w, "AutomaticCreationBtn")->isHidden());
    EXPECT_TRUE(g->toolTip().isEmpty());
    EXPECT_EQ(g->Cells(3, 1), "#");
    EXPECT_EQ(hintOver(3, 1).toStdString(), "Maximun investigation depth :\r\n on X = 0.7 m");
    // A cell the line holds can be chosen.
    Select(*w, 12, 1, 12, 1);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(g->Cells(12, 1), "#");
    EXPECT_EQ(w->Current()->NeedsRecompute, 1);

    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);
    EXPECT_TRUE(Find<QPushButton>(w, "AutomaticCreationBtn")->isHidden());
}

// The cells that fit follow the layout as the user edits it, not the tab that is shown.
TEST_F(DepthGridTest, TheCellsThatFitFollowAnEditedLayout) {
    auto w = Show(48);
    TStringGrid* g = Grid(*w);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "CreationTbs"));
    Find<QLineEdit>(w, "LineGridXTxt")->setText("12");
    Find<QRadioButton>(w, "AutomaticCreated")->setChecked(true);
    Find<QPushButton>(w, "Next2Btn")->click();
    ASSERT_EQ(w->Current()->Grid.ElectrodeCount, 12);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    ASSERT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "ConfigurationTbs"));
    // Dipole-dipole on 12 electrodes: row 1 holds levels up to 9 (12 - 2 - 9 > 0), no longer 40.
    for (const auto& [col, mark] : {std::pair{10, "#"}, std::pair{11, ""}, std::pair{41, ""}}) {
        Select(*w, col, 1, col, 1);
        w->SpacingLevelGdDblClick();
        EXPECT_EQ(g->Cells(col, 1), mark) << col;
    }
    const QPoint at = Centre(*w, 11, 1);
    w->SpacingLevelGdMouseMove({}, at.x(), at.y());
    EXPECT_EQ(g->toolTip().toStdString(), "Maximun investigation depth :\r\n on X = not available");
}

TEST_F(DepthGridTest, FillingTheGridDropsCellsTheSpreadNoLongerHolds) {
    auto w = Show(48);
    TElectSequence& s = *w->Current();
    s.SpacingLevels[0].Selected[45] = 1;  // level 46: too long for 48 electrodes
    s.SpacingLevels[0].Selected[19] = 1;  // level 20: fits, set behind the grid's back
    s.SpacingLevels[3].Selected[0] = 2;   // any non-zero flag is a selection
    Find<TConfigurationPanel>(w, "ConfigurationTbs")->FillSpacingLevelGrid();
    TStringGrid* g = Grid(*w);
    EXPECT_EQ(g->Cells(47, 1), "");
    EXPECT_EQ(s.SpacingLevels[0].Selected[45], 0);
    EXPECT_EQ(g->Cells(21, 1), "#");
    EXPECT_EQ(g->Cells(1, 1), "9");
    EXPECT_EQ(s.SpacingLevels[0].SelectedCount, 9);
    EXPECT_EQ(g->Cells(2, 4), "#");
    EXPECT_EQ(s.SpacingLevels[3].Selected[0], 1);
    EXPECT_EQ(g->Cells(1, 4), "1");

    // A shorter spread: the cells beyond it go.
    PlaceElectrodes(s, {1, 2, 3, 4, 5, 6, 7, 8});
    s.ComputeSpacingLevelDepths(true, 128);
    Find<TConfigurationPanel>(w, "ConfigurationTbs")->FillSpacingLevelGrid();
    EXPECT_EQ(RowText(*w, 1, 1, 10), "5#####....");  // 8 - 2 - n > 0 for n <= 5
    EXPECT_EQ(s.GetSpacingLevelCount(), 5);
}

TEST_F(DepthGridTest, TheDepthPromptProposesTheDeepestMultigradientCell) {
    // Multigradient level 9 of row a needs 11a electrodes; on 48 the deepest is a = 4:
    // ((-0.000915179 x 5 + 0.397614583) x 5 + 0.127613095) x 4 = 8.35 m.
    auto w = Show(48);
    TElectSequence& s = *w->Current();
    auto before = std::make_unique<TElectSequence>(s);

    w->AutomaticCreationBtnClick();
    EXPECT_FALSE(Find<QFrame>(w, "AutomaticCreationPanel")->isHidden());
    EXPECT_EQ(Find<QLineEdit>(w, "InvestigationDepthEdt")->text(), "8.4");
    EXPECT_EQ(Find<QLabel>(w, "AutomaticMaxLbl")->text(), "8.4 m");
    EXPECT_EQ(Find<TConfigurationPanel>(w, "ConfigurationTbs")->InvestigationDepthMax(), 9);
    EXPECT_EQ(Find<TUpDown>(w, "InvestigationDepthUpDown")->maximum(), 9);
    // The sequence is only asked: its depth tables and array stay as they were.
    EXPECT_EQ(std::memcmp(before.get(), &s, sizeof(TElectSequence)), 0);
    Select(*w, 40, 1, 40, 1);
    w->SpacingLevelGdDblClick();
    EXPECT_EQ(Grid(*w)->Cells(40, 1), "#");

    w->AutomaticCreationCancelBtnClick();
    EXPECT_TRUE(Find<QFrame>(w, "AutomaticCreationPanel")->isHidden());
    w->AutomaticCreationHelpBtnClick();
    EXPECT_EQ(Seam.HelpIds, std::vector<int>{1200});
}

TEST_F(DepthGridTest, TypedDepthsAreKeptWithinTheRangeWithABeep) {
    auto w = Show(48);
    QLineEdit* edit = Find<QLineEdit>(w, "InvestigationDepthEdt");
    w->AutomaticCreationBtnClick();  // range 1..9
    struct Case {
        const char* typed;
        const char* shown;
        bool beep;
    };
    const Case cases[] = {
        {"5", "5", false},     {"7.25", "7.25", false}, {" 9 ", " 9 ", false}, {"12", "9", true},
        {"0.5", "1", true},    {"-3", "1", true},       {"abc", "1", true},    {"", "1", true},
        {"nan", "1", true},    {"inf", "1", true},      {"1e400", "1", true},  {"4,5", "1", true},
    };
    auto before = std::make_unique<TElectSequence>(*w->Current());
    for (const Case& c : cases) {
        Seam.Beeps = 0;
        edit->setText(c.typed);
        w->InvestigationDepthEdtExit();
        EXPECT_EQ(edit->text(), QString(c.shown)) << c.typed;
        EXPECT_EQ(Seam.Beeps, c.beep ? 1 : 0) << c.typed;
    }
    EXPECT_EQ(std::memcmp(before.get(), w->Current(), sizeof(TElectSequence)), 0);
}

TEST_F(DepthGridTest, ASpreadTooShortForTheMultigradientProposesNothing) {
    // 10 electrodes: level 9 of row 1 needs 11.
    auto w = Show(10);
    QLineEdit* edit = Find<QLineEdit>(w, "InvestigationDepthEdt");
    w->AutomaticCreationBtnClick();
    EXPECT_EQ(edit->text(), "0.0");
    EXPECT_EQ(Find<QLabel>(w, "AutomaticMaxLbl")->text(), "0.0 m");
    EXPECT_EQ(Find<TConfigurationPanel>(w, "ConfigurationTbs")->InvestigationDepthMax(), 0);
    EXPECT_EQ(Find<TUpDown>(w, "InvestigationDepthUpDown")->minimum(), 1);
    edit->setText("5");
    w->InvestigationDepthEdtExit();
    EXPECT_EQ(edit->text(), "1");
    EXPECT_EQ(Seam.Beeps, 1);
}

TEST_F(DepthGridTest, TheArrowsStepTheDepthWithinTheRangeAndLeadToTheEdit) {
    struct Case {
        int Electrodes;
        const char* From;
        bool Up;
        const char* To;
    };
    const Case cases[] = {
        {48, "3", true, "4"},   {48, "3.5", false, "2.5"}, {48, "1", false, "1"},
        {48, "9", true, "9"},   // the deepest cell the spread holds: 1..9
        {10, "5", true, "1"},   // a spread too short: the range holds the minimum alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.From) + (c.Up ? " up on " : " down on ") + std::to_string(c.Electrodes));
        auto w = Show(c.Electrodes);
        w->AutomaticCreationBtnClick();
        QApplication::processEvents();
        QLineEdit* edit = Find<QLineEdit>(w, "InvestigationDepthEdt");
        edit->setText(c.From);
        ClickArrow(Find<TUpDown>(w, "InvestigationDepthUpDown"), c.Up);
        EXPECT_EQ(edit->text(), c.To);
        EXPECT_EQ(w->focusWidget(), edit);
        EXPECT_EQ(Seam.Beeps, 0);
    }
}

TEST_F(DepthGridTest, EnteringThePromptHidesOkInABorehole) {
    auto w = Show(48);
    w->AutomaticCreationBtnClick();
    w->AutomaticCreationPanelEnter();
    EXPECT_FALSE(Find<QPushButton>(w, "AutomaticCreationOkBtn")->isHidden());
    w->Current()->Grid.GridType = gtBorehole;
    w->AutomaticCreationPanelEnter();
    EXPECT_TRUE(Find<QPushButton>(w, "AutomaticCreationOkBtn")->isHidden());
}

TEST_F(DepthGridTest, AutomaticCreationSelectsLevelNineUpToTheDepthAndSaves) {
    // Level 9 of row a lies at 2.088 a m: rows 1 and 2 are within 5 m, row 3 (6.26 m) is not.
    auto w = Show(48, 10);
    TModalCloser closer;
    w->AutomaticCreationBtnClick();
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setText("5");
    w->AutomaticCreationOkBtnClick();

    const TElectSequence& s = *w->Current();
    EXPECT_EQ(s.GetSeqName(), "MultiGAuto");
    EXPECT_EQ(s.GetComment(), "<-- Automatic creation -->");
    EXPECT_EQ(s.Grid.ArrayType, 11);
    for (int a = 1; a <= 9; ++a) {
        const bool on = a <= 2;
        EXPECT_EQ(s.SpacingLevels[a - 1].SelectedCount, on ? 1 : 0) << a;
        EXPECT_EQ(Grid(*w)->Cells(10, a), on ? "#" : "") << a;
        EXPECT_EQ(Grid(*w)->Cells(1, a), on ? "1" : "") << a;
    }
    EXPECT_TRUE(Find<QFrame>(w, "AutomaticCreationPanel")->isHidden());
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());

    // The file holds the new selection.
    auto saved = std::make_unique<TElectSequence>(Path("grid.sqz").toStdString());
    EXPECT_EQ(saved->GetSeqName(), "MultiGAuto");
    EXPECT_EQ(saved->GetSpacingLevelCount(), 2);
    EXPECT_EQ(saved->SpacingLevels[1].Selected[8], 1);
}

TEST_F(DepthGridTest, ADepthThatIsNoNumberStopsAtTheEdit) {
    auto w = Show(48, 10);
    TModalCloser closer;
    w->AutomaticCreationBtnClick();
    auto before = std::make_unique<TElectSequence>(*w->Current());
    for (const char* typed : {"abc", "", "nan", "1e60"}) {
        Find<QLineEdit>(w, "InvestigationDepthEdt")->setText(typed);
        w->AutomaticCreationOkBtnClick();
        EXPECT_EQ(std::memcmp(before.get(), w->Current(), sizeof(TElectSequence)), 0) << typed;
        EXPECT_FALSE(Find<QFrame>(w, "AutomaticCreationPanel")->isHidden()) << typed;
        EXPECT_EQ(w->focusWidget(), Find<QLineEdit>(w, "InvestigationDepthEdt")) << typed;
    }
    EXPECT_TRUE(Seam.Messages.isEmpty());
    EXPECT_TRUE(Seam.Questions.empty());
}

TEST_F(DepthGridTest, AutomaticGridFillingAppliesTheDefaultSelection) {
    // 12 electrodes, dipole-dipole: row 1 takes levels 1..6; row 2 starts at level 6 and
    // stops at 8 (12 - 4 - 8 = 0), which ends the filling for every later row.
    auto w = Show(12, 10);
    TModalCloser closer;
    w->AutomaticCreationBtnClick();
    w->AutoGridDepthLevelBtnClick();
    EXPECT_TRUE(Find<QFrame>(w, "AutomaticCreationPanel")->isHidden());
    EXPECT_EQ(RowText(*w, 1, 1, 12), "6######.....");
    EXPECT_EQ(RowText(*w, 2, 1, 12), "2.....##....");
    EXPECT_EQ(RowText(*w, 3, 1, 12), "............");
    EXPECT_EQ(w->Current()->GetSpacingLevelCount(), 8);
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());
}

TEST_F(DepthGridTest, FocusLeavingTheGridAndTheEditRunsTheirExitHandlers) {
    auto w = Show(48);
    QApplication::setActiveWindow(w.get());
    w->AutomaticCreationBtnClick();  // range 1..9
    Find<QPushButton>(w, "AutomaticCreationOkBtn")->setVisible(false);

    // Coming into the prompt from outside shows OK again (not a borehole).
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(Find<QPushButton>(w, "AutomaticCreationOkBtn")->isHidden());

    Find<QLineEdit>(w, "InvestigationDepthEdt")->setText("12");
    Grid(*w)->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(Find<QLineEdit>(w, "InvestigationDepthEdt")->text(), "9");
    EXPECT_EQ(Seam.Beeps, 1);

    Select(*w, 2, 3, 5, 3);
    w->SpacingLevelGdClick();
    Find<QLabel>(w, "TotalLevelTxt")->setText(QString());
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(Find<QLabel>(w, "TotalLevelTxt")->text(), "12");
}
