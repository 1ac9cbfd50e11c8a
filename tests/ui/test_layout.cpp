// Laying out the electrodes: grid type, grid parameters, the location grid and its numbering.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <cstring>

#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui/CreationPanel.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"

class LayoutTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        if (!HasFatalFailure()) Open();
    }
    void TearDown() override {
        W.reset();
        UiTest::TearDown();
    }

    // A fresh window; with s, s is the sequence it shows.
    void Open(std::unique_ptr<TElectSequence> s = nullptr) {
        W.reset();
        if (s) {
            WriteSequence(*s, Path("shown.sqz"));
            WriteList({Path("shown.sqz")});
        }
        W = Start();
        Creation = Find<TCreationPanel>(W, "CreationTbs");
        Grid = Find<TStringGrid>(W, "ElectrodeLocationGd");
    }

    // Chooses the type, goes to the parameters and creates an nx x ny grid.
    void Create(QRadioButton* type, int nx, int ny, bool automatic = true) {
        type->click();
        Find<QPushButton>(W, "Next1Btn")->click();
        Find<QLineEdit>(W, "LineGridXTxt")->setText(QString::number(nx));
        Find<QLineEdit>(W, "LineGridYZTxt")->setText(QString::number(ny));
        (automatic ? Find<QRadioButton>(W, "AutomaticCreated") : Find<QRadioButton>(W, "ManualCreated"))
            ->setChecked(true);
        Find<QPushButton>(W, "Next2Btn")->click();
    }

    // The cells of row r, "." for an empty one.
    QString Row(int r) const {
        QStringList cells;
        for (int c = 1; c < Grid->ColCount(); ++c) {
            const QString t = Grid->Cells(c, r);
            cells << (t.isEmpty() ? QStringLiteral(".") : t);
        }
        return cells.join(' ');
    }

    void Select(int left, int top, int right, int bottom) {
        TStringTableModel* t = Grid->Strings();
        Grid->selectionModel()->select(QItemSelection(t->index(top - 1, left - 1), t->index(bottom - 1, right - 1)),
                                       QItemSelectionModel::ClearAndSelect);
    }

    QPoint Centre(int c, int r) const { return Grid->visualRect(Grid->Strings()->index(r - 1, c - 1)).center(); }

    void Press(int c, int r) {
        const QPoint p = Centre(c, r);
        W->ElectrodeLocationGdMouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    }

    // Drags from the first cell to the second as the user does (press, select, release).
    void Drag(int c0, int r0, int c1, int r1) {
        Press(c0, r0);
        Select(std::min(c0, c1), std::min(r0, r1), std::max(c0, c1), std::max(r0, r1));
        W->ElectrodeLocationGdClick();
    }

    TElectGrid& G() { return W->Current()->Grid; }

    std::unique_ptr<TMainFrm> W;
    TCreationPanel* Creation = nullptr;
    TStringGrid* Grid = nullptr;
};

TEST_F(LayoutTest, TheTypeSetsTheGridTypeAndTheAxisLabels) {
    struct TCase {
        QRadioButton* button;
        int type;
        bool y, z;
    };
    const TCase cases[] = {{Find<QRadioButton>(W, "SurfaceRb"), 1, true, false},
                           {Find<QRadioButton>(W, "BoreholeRb"), 2, false, true},
                           {Find<QRadioButton>(W, "LineRb"), 0, false, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.type);
        c.button->click();
        EXPECT_EQ(G().GridType, c.type);
        EXPECT_EQ(Find<QWidget>(W, "YZPanel")->isHidden(), c.type == 0);
        for (QLabel* l :
             {Find<QLabel>(W, "YGridSizeLbl"), Find<QLabel>(W, "YGridSpacingLbl"), Find<QLabel>(W, "YGridOffsetLbl")})
            EXPECT_EQ(!l->isHidden(), c.y);
        for (QLabel* l :
             {Find<QLabel>(W, "ZGridSizeLbl"), Find<QLabel>(W, "ZGridSpacingLbl"), Find<QLabel>(W, "ZGridOffsetLbl")})
            EXPECT_EQ(!l->isHidden(), c.z);
    }
    // A surface or a borehole needs a spacing across: 0 becomes 1, any other stays.
    for (QRadioButton* b : {Find<QRadioButton>(W, "SurfaceRb"), Find<QRadioButton>(W, "BoreholeRb")}) {
        Find<QRadioButton>(W, "LineRb")->click();
        G().DY = 0.0f;
        Find<QLineEdit>(W, "YZGridSpacingLblx")->setText("0");
        b->click();
        EXPECT_EQ(G().DY, 1.0f);
        EXPECT_EQ(Find<QLineEdit>(W, "YZGridSpacingLblx")->text(), "1");
        Find<QRadioButton>(W, "LineRb")->click();
        G().DY = 2.5f;
        Find<QLineEdit>(W, "YZGridSpacingLblx")->setText("2.5");
        b->click();
        EXPECT_EQ(G().DY, 2.5f);
        EXPECT_EQ(Find<QLineEdit>(W, "YZGridSpacingLblx")->text(), "2.5");
    }
}

TEST_F(LayoutTest, TheTabStepsFromTypeToParametersToGridAndBack) {
    // Type choice.
    EXPECT_TRUE(Find<QGroupBox>(W, "TypeOfMeasurementGb")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(W, "LineGridXTxt")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(W, "Next2Btn")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(W, "ClearBtn")->isEnabled());
    EXPECT_FALSE(Grid->isEnabled());

    Find<QRadioButton>(W, "BoreholeRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    // Grid parameters: only the chosen type stays lit.
    EXPECT_TRUE(Find<QLineEdit>(W, "LineGridXTxt")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(W, "YZGridOffsetLblx")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(W, "Next2Btn")->isEnabled());
    EXPECT_FALSE(OwnEnabled(Find<QGroupBox>(W, "TypeOfMeasurementGb")));
    EXPECT_FALSE(OwnEnabled(Find<QPushButton>(W, "Next1Btn")));
    EXPECT_TRUE(OwnEnabled(Find<QRadioButton>(W, "BoreholeRb")));
    EXPECT_FALSE(OwnEnabled(Find<QRadioButton>(W, "LineRb")));
    EXPECT_FALSE(OwnEnabled(Find<QRadioButton>(W, "SurfaceRb")));
    EXPECT_FALSE(Find<QComboBox>(W, "BoreholeArrayTypeList")->isHidden());
    EXPECT_TRUE(Find<QComboBox>(W, "ArrayTypeList")->isHidden());
    EXPECT_FALSE(Grid->isEnabled());

    Find<QLineEdit>(W, "LineGridXTxt")->setText("4");
    Find<QLineEdit>(W, "LineGridYZTxt")->setText("3");
    Find<QPushButton>(W, "Next2Btn")->click();
    // Grid editing.
    EXPECT_TRUE(Grid->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(W, "ClearBtn")->isEnabled());
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Grid->Cells(0, 0), "z\\x (m)");
    EXPECT_EQ(G().ElectrodeCount, 12);
    EXPECT_EQ(Find<QLabel>(W, "NbNodesLblx")->text(), "12");

    Find<QPushButton>(W, "Previous2Btn")->click();
    EXPECT_TRUE(OwnEnabled(Find<QGroupBox>(W, "TypeOfMeasurementGb")));
    for (QWidget* b :
         std::initializer_list<QWidget*>{Find<QPushButton>(W, "Next1Btn"), Find<QRadioButton>(W, "LineRb"),
                                         Find<QRadioButton>(W, "SurfaceRb"), Find<QRadioButton>(W, "BoreholeRb")})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(W, "LineGridXTxt")->isEnabled());
    EXPECT_FALSE(Find<QWidget>(W, "YZPanel")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(W, "ClearBtn")->isEnabled());
    EXPECT_EQ(Row(1), ". . . .");
    EXPECT_EQ(G().ElectrodeCount, 0);
    EXPECT_EQ(Find<QLabel>(W, "NbNodesLblx")->text(), "0");
}

TEST_F(LayoutTest, HeadersShowEachNodePositionByMagnitude) {
    struct TCase {
        const char* offset;
        const char* header;
    };
    const TCase cases[] = {{"9.999", "10.00"}, {"10", "10.0"},     {"10.25", "10.25"}, {"99.999", "100.0"},
                           {"150", "150"},     {"150.26", "150.3"}, {"-2.5", "-2.50"},  {"0", "0.00"}};
    Find<QRadioButton>(W, "LineRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.offset);
        Find<QLineEdit>(W, "XGridOffsetLblx")->setText(c.offset);
        Find<QLineEdit>(W, "XGridOffsetLblx")->setModified(true);
        Find<QLineEdit>(W, "LineGridXTxt")->setText("1");
        Find<QPushButton>(W, "Next2Btn")->click();
        EXPECT_EQ(Grid->Cells(1, 0), c.header);
        EXPECT_EQ(Grid->Cells(0, 0), "y\\x (m)");
    }
    // Rows of a surface step by the spacing across, from its offset.
    Open();
    Find<QRadioButton>(W, "SurfaceRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    Find<QLineEdit>(W, "XGridSpacingLblx")->setText("0.333");
    Find<QLineEdit>(W, "YZGridSpacingLblx")->setText("0.5");
    Find<QLineEdit>(W, "YZGridOffsetLblx")->setText("1");
    Find<QLineEdit>(W, "LineGridXTxt")->setText("4");
    Find<QLineEdit>(W, "LineGridYZTxt")->setText("3");
    Find<QPushButton>(W, "Next2Btn")->click();
    EXPECT_EQ(Grid->Cells(0, 0), "y\\x (m)");
    QStringList columns, rows;
    for (int c = 1; c <= 4; ++c) columns << Grid->Cells(c, 0);
    for (int r = 1; r <= 3; ++r) rows << Grid->Cells(0, r);
    EXPECT_EQ(columns.join(' '), "0.00 0.33 0.67 1.00");
    EXPECT_EQ(rows.join(' '), "1.00 1.50 2.00");
}

TEST_F(LayoutTest, CreatingTheGridReadsTheParameters) {
    Find<QRadioButton>(W, "LineRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    Find<QLineEdit>(W, "XGridSpacingLblx")->setText("abc");
    Find<QLineEdit>(W, "XGridOffsetLblx")->setText("12.345");
    Find<QLineEdit>(W, "YZGridSpacingLblx")->setText("3");
    Find<QLineEdit>(W, "YZGridOffsetLblx")->setText("7");
    Find<QLineEdit>(W, "LineGridXTxt")->setText("abc");
    Find<QLineEdit>(W, "LineGridYZTxt")->setText("5");
    for (QLineEdit* e : {Find<QLineEdit>(W, "XGridSpacingLblx"), Find<QLineEdit>(W, "XGridOffsetLblx")})
        e->setModified(true);
    Find<QPushButton>(W, "Next2Btn")->click();
    // Not a number: 0 (spacing) and 1 (size); a line has nothing across.
    EXPECT_EQ(G().DX, 0.0f);
    EXPECT_EQ(Find<QLineEdit>(W, "XGridSpacingLblx")->text(), "0");
    EXPECT_EQ(G().NX, 1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridXTxt")->text(), "1");
    EXPECT_EQ(G().DY, 0.0f);
    EXPECT_EQ(G().OffsetY, 0.0f);
    EXPECT_EQ(Find<QLineEdit>(W, "YZGridSpacingLblx")->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(W, "YZGridOffsetLblx")->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridYZTxt")->text(), "1");
    EXPECT_EQ(G().NY, 1);
    // Typed decimals are kept whole, not cut to the two that the edits show.
    EXPECT_EQ(G().OffsetX, 12.345f);
    EXPECT_EQ(Find<QLineEdit>(W, "XGridOffsetLblx")->text(), "12.345");
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(LayoutTest, AutomaticGridNumbersEveryNodeInSnakeOrder) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 3, 2);
    EXPECT_EQ(Row(1), "1 2 3");
    EXPECT_EQ(Row(2), "6 5 4");
    EXPECT_EQ(G().FirstElectrode, 1);
    EXPECT_EQ(G().LastElectrode, 6);
    EXPECT_EQ(G().ElectrodeCount, 6);
    EXPECT_EQ(G().Duplicates, 0);
    EXPECT_EQ(G().Nodes[4].IX, 3);
    EXPECT_EQ(G().Nodes[4].IY, 2);
    EXPECT_EQ(G().Nodes[6].IX, 1);
    EXPECT_EQ(Find<QLabel>(W, "FirstNodeLblx")->text(), "1");
    EXPECT_EQ(Find<QLabel>(W, "LastNodeLblx")->text(), "6");

    // More nodes than electrode numbers: the nodes past 1319 stay empty.
    Open();
    Create(Find<QRadioButton>(W, "SurfaceRb"), 48, 40);
    EXPECT_EQ(G().ElectrodeCount, 1319);
    EXPECT_EQ(G().LastElectrode, 1319);
    int filled = 0, above = 0;
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 48; ++c) {
            const QString t = Grid->Cells(c, r);
            if (t.isEmpty()) continue;
            ++filled;
            if (t.toInt() > 1319) ++above;
        }
    EXPECT_EQ(filled, 1319);
    EXPECT_EQ(above, 0);
    EXPECT_EQ(Grid->Cells(48, 1), "48");
    EXPECT_EQ(Grid->Cells(48, 2), "49");

    // A single node is not numbered.
    Open();
    Create(Find<QRadioButton>(W, "LineRb"), 1, 1);
    EXPECT_EQ(Grid->Cells(1, 1), "");
    EXPECT_EQ(G().ElectrodeCount, 0);
    EXPECT_EQ(Find<QLabel>(W, "FirstNodeLblx")->text(), "0");
}

TEST_F(LayoutTest, DraggingNumbersFromThePressedCorner) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 6, 3, false);
    Grid->SetCells(1, 1, "48");
    Creation->RescanElectrodeGrid();
    // From the bottom-right corner of a 3 x 2 block of empty cells: on from the last electrode.
    Drag(6, 3, 4, 2);
    EXPECT_EQ(Row(3), ". . . 51 50 49");
    EXPECT_EQ(Row(2), ". . . 52 53 54");
    EXPECT_EQ(G().LastElectrode, 54);
    EXPECT_EQ(G().ElectrodeCount, 7);
    // From a cell holding 10: the row is renumbered from 10.
    Grid->SetCells(2, 1, "10");
    Drag(2, 1, 5, 1);
    EXPECT_EQ(Row(1), "48 10 11 12 13 .");
    // A click on one cell numbers nothing.
    Drag(6, 1, 6, 1);
    EXPECT_EQ(Grid->Cells(6, 1), "");
    EXPECT_EQ(G().ElectrodeCount, 11);
}

TEST_F(LayoutTest, TheMouseDragsOverTheGrid) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 4, 3, false);
    QWidget* vp = Grid->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Centre(1, 2));
    QTest::mouseMove(vp, Centre(3, 3));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Centre(3, 3));
    EXPECT_EQ(Row(2), "1 2 3 .");
    EXPECT_EQ(Row(3), "6 5 4 .");
    EXPECT_EQ(G().ElectrodeCount, 6);
    // A press outside the cells leaves no pressed cell.
    W->ElectrodeLocationGdMouseDown(Qt::LeftButton, Qt::NoModifier, 5000, 5000);
    EXPECT_EQ(Creation->MouseDownCell().x(), -1);
    EXPECT_EQ(Creation->MouseDownCell().y(), -1);
}

TEST_F(LayoutTest, ANumberUsedTwiceIsMarked) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 4, 2, false);
    Grid->SetCells(1, 1, "7");
    Grid->SetCells(2, 1, "3");
    Creation->RescanElectrodeGrid();
    EXPECT_EQ(G().Nodes[7].IX, 1);
    EXPECT_TRUE(Find<QLabel>(W, "ErrorLblx")->isHidden());
    Grid->SetCells(3, 2, "7");
    Creation->RescanElectrodeGrid();
    EXPECT_EQ(G().Duplicates, 1);
    EXPECT_FALSE(Find<QLabel>(W, "ErrorLblx")->isHidden());
    EXPECT_TRUE(Creation->DuplicateMarked(1, 1));
    EXPECT_TRUE(Creation->DuplicateMarked(3, 2));
    EXPECT_FALSE(Creation->DuplicateMarked(2, 1));
    EXPECT_EQ(G().FirstElectrode, 3);
    EXPECT_EQ(G().LastElectrode, 7);
    EXPECT_EQ(G().ElectrodeCount, 3);
    EXPECT_EQ(G().Nodes[7].Used, 2);
    // The duplicated number keeps the node of the earlier scan.
    EXPECT_EQ(G().Nodes[7].IX, 1);
    EXPECT_EQ(G().Nodes[7].IY, 1);
    // The page cannot be left while the layout is invalid.
    bool allow = true;
    W->PageControl1Changing(allow);
    EXPECT_FALSE(allow);
    Grid->SetCells(1, 1, "");
    Creation->RescanElectrodeGrid();
    EXPECT_EQ(G().Duplicates, 0);
    EXPECT_TRUE(Find<QLabel>(W, "ErrorLblx")->isHidden());
    EXPECT_FALSE(Creation->DuplicateMarked(3, 2));
    EXPECT_EQ(G().Nodes[7].IX, 3);
    EXPECT_EQ(G().Nodes[7].IY, 2);
}

TEST_F(LayoutTest, TheRescanDropsWhatIsNotAnElectrodeNumber) {
    Create(Find<QRadioButton>(W, "LineRb"), 7, 1, false);
    const char* typed[] = {"0", "1320", "abc", "-3", "1319", "1", "99999"};
    for (int c = 1; c <= 7; ++c) Grid->SetCells(c, 1, typed[c - 1]);
    Creation->RescanElectrodeGrid();
    EXPECT_EQ(Row(1), ". . . . 1319 1 .");
    EXPECT_EQ(G().ElectrodeCount, 2);
    EXPECT_EQ(G().FirstElectrode, 1);
    EXPECT_EQ(G().LastElectrode, 1319);
    EXPECT_EQ(G().Nodes[1319].IX, 5);
    EXPECT_EQ(G().Nodes[1].IX, 6);
}

TEST_F(LayoutTest, ManualNumberingByDoubleClick) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 4, 2, true);
    const QString before = Row(1);
    W->Current()->NeedsRecompute = 0;
    Select(2, 2, 2, 2);
    W->ElectrodeLocationGdDblClick();  // automatic grid: nothing happens
    EXPECT_EQ(Row(1), before);
    EXPECT_EQ(W->Current()->NeedsRecompute, 0);

    Open();
    Create(Find<QRadioButton>(W, "SurfaceRb"), 4, 2, false);
    Grid->SetCells(1, 1, "5");
    Creation->RescanElectrodeGrid();
    W->Current()->NeedsRecompute = 0;
    Select(3, 2, 4, 2);
    W->ElectrodeLocationGdDblClick();
    EXPECT_EQ(Grid->Cells(3, 2), "6");
    EXPECT_EQ(G().LastElectrode, 6);
    EXPECT_EQ(W->Current()->NeedsRecompute, 1);
    auto* editor = qobject_cast<QLineEdit*>(Grid->indexWidget(Grid->Strings()->index(1, 2)));
    ASSERT_NE(editor, nullptr);
    // The editor takes digits only; the number is taken when it closes.
    editor->clear();
    QTest::keyClicks(editor, "-12x");
    EXPECT_EQ(editor->text(), "12");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Grid->Cells(3, 2), "12");
    EXPECT_EQ(G().LastElectrode, 12);
    EXPECT_EQ(G().Nodes[12].IX, 3);
    EXPECT_TRUE(Seam.Messages.isEmpty());

    // A number past the last electrode number is refused with a message.
    Select(4, 2, 4, 2);
    W->ElectrodeLocationGdDblClick();
    editor = qobject_cast<QLineEdit*>(Grid->indexWidget(Grid->Strings()->index(1, 3)));
    ASSERT_NE(editor, nullptr);
    editor->setText("1500");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Grid->Cells(4, 2), "");
    ASSERT_EQ(Seam.Messages.size(), 1);
    EXPECT_TRUE(Seam.Messages[0].contains("1319")) << Seam.Messages[0].toStdString();
    EXPECT_TRUE(Seam.Messages[0].contains("1500")) << Seam.Messages[0].toStdString();
    EXPECT_EQ(G().ElectrodeCount, 2);

    // When 1319 is placed there is no next number to write.
    Grid->SetCells(2, 1, "1319");
    Creation->RescanElectrodeGrid();
    Select(4, 1, 4, 1);
    W->ElectrodeLocationGdDblClick();
    EXPECT_EQ(Grid->Cells(4, 1), "");
    EXPECT_EQ(Seam.Messages.size(), 2);
    EXPECT_EQ(G().LastElectrode, 1319);
}

// A number still being typed when the sequence is shown anew is dropped: the display neither
// takes it into the layout nor leaves its editor over the cells it lays out.
TEST_F(LayoutTest, ANumberBeingTypedIsDroppedWhenTheSequenceIsShownAgain) {
    Open(MakeSequence(0, 1.0f, 6));
    Find<QRadioButton>(W, "ManualCreated")->setChecked(true);
    Select(6, 1, 6, 1);
    Grid->SetCells(6, 1, "");
    Creation->RescanElectrodeGrid();
    W->ElectrodeLocationGdDblClick();
    auto* editor = qobject_cast<QLineEdit*>(Grid->indexWidget(Grid->Strings()->index(0, 5)));
    ASSERT_NE(editor, nullptr);
    editor->setText("40");
    const TElectGrid before = G();
    W->DisplaySequence(true);
    QApplication::processEvents();
    EXPECT_EQ(Grid->indexWidget(Grid->Strings()->index(0, 5)), nullptr);
    EXPECT_EQ(Row(1), "1 2 3 4 5 6");
    EXPECT_EQ(std::memcmp(&before, &G(), sizeof(TElectGrid)), 0);
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(LayoutTest, DeleteAndClearEmptyCells) {
    Create(Find<QRadioButton>(W, "SurfaceRb"), 3, 2);
    W->Current()->NeedsRecompute = 0;
    Select(2, 1, 3, 2);
    QTest::keyClick(Grid, Qt::Key_Delete);
    EXPECT_EQ(Row(1), "1 . .");
    EXPECT_EQ(Row(2), "6 . .");
    EXPECT_EQ(G().ElectrodeCount, 2);
    EXPECT_EQ(W->Current()->NeedsRecompute, 1);
    Find<QPushButton>(W, "ClearBtn")->click();
    EXPECT_EQ(Row(1), ". . .");
    EXPECT_EQ(Row(2), ". . .");
    EXPECT_EQ(G().ElectrodeCount, 0);
    EXPECT_EQ(Grid->Cells(1, 0), "0.00");  // the headers stay
}

TEST_F(LayoutTest, LeavingAnEditCorrectsWhatCannotBeUsed) {
    struct TCase {
        QLineEdit* edit;
        const char *typed, *shown;
        bool beep;
    };
    const TCase cases[] = {
        {Find<QLineEdit>(W, "LineGridXTxt"), "5000", "1320", true},
        {Find<QLineEdit>(W, "LineGridXTxt"), "1320", "1320", false},
        {Find<QLineEdit>(W, "LineGridXTxt"), "0", "1", true},
        {Find<QLineEdit>(W, "LineGridXTxt"), "-4", "1", true},
        {Find<QLineEdit>(W, "LineGridXTxt"), "abc", "1", true},
        {Find<QLineEdit>(W, "LineGridYZTxt"), "500", "192", true},
        {Find<QLineEdit>(W, "LineGridYZTxt"), "192", "192", false},
        {Find<QLineEdit>(W, "XGridSpacingLblx"), "-1", "0", true},
        {Find<QLineEdit>(W, "XGridSpacingLblx"), "0.333", "0.333", false},
        {Find<QLineEdit>(W, "YZGridSpacingLblx"), "abc", "0", true},
        {Find<QLineEdit>(W, "XGridOffsetLblx"), "-12.5", "-12.5", false},
        {Find<QLineEdit>(W, "YZGridOffsetLblx"), "1e9", "99999.99", true},
        {Find<QLineEdit>(W, "XGridOffsetLblx"), "inf", "0", true},
    };
    Find<QRadioButton>(W, "SurfaceRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.typed);
        Seam.Beeps = 0;
        c.edit->setText(c.typed);
        Creation->LayoutEditExit(c.edit);
        EXPECT_EQ(c.edit->text(), c.shown);
        EXPECT_EQ(Seam.Beeps, c.beep ? 1 : 0);
    }
    // Leaving the edit runs the same check.
    Seam.Beeps = 0;
    Find<QLineEdit>(W, "LineGridXTxt")->clear();
    QTest::keyClicks(Find<QLineEdit>(W, "LineGridXTxt"), "2000");
    QTest::keyClick(Find<QLineEdit>(W, "LineGridXTxt"), Qt::Key_Return);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridXTxt")->text(), "1320");
    EXPECT_EQ(Seam.Beeps, 1);
}

TEST_F(LayoutTest, GridSizesStayWithinTheNodeMap) {
    Find<QRadioButton>(W, "SurfaceRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    Find<QLineEdit>(W, "LineGridXTxt")->setText("9999");
    Find<QLineEdit>(W, "LineGridYZTxt")->setText("9999");
    Find<QRadioButton>(W, "ManualCreated")->setChecked(true);
    W->Next2BtnClick();
    EXPECT_EQ(G().NX, kMaxGridColumns);
    EXPECT_EQ(G().NY, kMaxGridRows);
    EXPECT_EQ(Grid->ColCount(), kMaxGridColumns + 1);
    EXPECT_EQ(Grid->RowCount(), kMaxGridRows + 1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridXTxt")->text(), "1320");
    EXPECT_EQ(Seam.Beeps, 1);
    // The far corner holds a usable node.
    Grid->SetCells(kMaxGridColumns, kMaxGridRows, "1319");
    Creation->RescanElectrodeGrid();
    EXPECT_EQ(G().Nodes[1319].IX, kMaxGridColumns);
    EXPECT_EQ(G().Nodes[1319].IY, kMaxGridRows);
}

TEST_F(LayoutTest, TheArrowsStepTheSizeAndWrap) {
    Find<QRadioButton>(W, "SurfaceRb")->click();
    Find<QPushButton>(W, "Next1Btn")->click();
    Find<QLineEdit>(W, "LineGridXTxt")->setText("48");
    Find<TUpDown>(W, "LineGridXUD")->stepBy(1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridXTxt")->text(), "72");
    Find<QLineEdit>(W, "LineGridXTxt")->setText("984");
    Find<TUpDown>(W, "LineGridXUD")->stepBy(1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridXTxt")->text(), "1");
    Find<QLineEdit>(W, "LineGridYZTxt")->setText("192");
    Find<TUpDown>(W, "LineGridYZUD")->stepBy(1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridYZTxt")->text(), "1");
    Find<TUpDown>(W, "LineGridYZUD")->stepBy(-1);
    EXPECT_EQ(Find<QLineEdit>(W, "LineGridYZTxt")->text(), "192");
}

TEST_F(LayoutTest, ASequenceShownKeepsItsFullSpacingWhenTheGridIsCreatedAgain) {
    auto s = MakeSequence(10, 0.333f);
    s->Grid.OffsetX = 12.345f;
    Open(std::move(s));
    EXPECT_EQ(Find<QLineEdit>(W, "XGridSpacingLblx")->text(), "0.33");
    EXPECT_EQ(Grid->Cells(4, 0), "13.34");  // 12.345 + 3 x 0.333
    // "Create grid" with the edits as shown: the record's values stay whole.
    W->Next2BtnClick();
    EXPECT_EQ(G().DX, 0.333f);
    EXPECT_EQ(G().OffsetX, 12.345f);
    // A value the user types is taken as typed, even when it reads as the one shown.
    Find<QLineEdit>(W, "XGridSpacingLblx")->setText("0.33");
    Find<QLineEdit>(W, "XGridSpacingLblx")->setModified(true);
    W->Next2BtnClick();
    EXPECT_EQ(G().DX, 0.33f);
    EXPECT_EQ(G().OffsetX, 12.345f);
}

TEST_F(LayoutTest, EditingTheLayoutOfAComputedSequenceMarksItChanged) {
    Open(MakeSequence(10));
    TElectSequence& s = *W->Current();
    ASSERT_EQ(s.NeedsRecompute, 0);
    // A click on one cell, or a grid created again as it was, changes nothing.
    QWidget* vp = Grid->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, Centre(3, 1));
    Find<QRadioButton>(W, "AutomaticCreated")->setChecked(true);
    Find<QPushButton>(W, "Next2Btn")->click();
    EXPECT_EQ(s.NeedsRecompute, 0);
    EXPECT_TRUE(s.IsValid());
    // Another offset moves every electrode although the counts and the spacing stay.
    Find<QLineEdit>(W, "XGridOffsetLblx")->setText("5");
    Find<QLineEdit>(W, "XGridOffsetLblx")->setModified(true);
    Find<QPushButton>(W, "Next2Btn")->click();
    EXPECT_EQ(G().OffsetX, 5.0f);
    EXPECT_EQ(G().ElectrodeCount, 48);
    EXPECT_EQ(s.NeedsRecompute, 1);
    // Showing the sequence again leaves the mark.
    W->DisplaySequence(true);
    EXPECT_EQ(s.NeedsRecompute, 1);
}
