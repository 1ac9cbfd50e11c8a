// Laying out the electrodes: grid type, grid parameters, the location grid and its numbering.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstring>

#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_Main.h"

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
        U = W->ui;
        Grid = U->ElectrodeLocationGd;
    }

    // Chooses the type, goes to the parameters and creates an nx x ny grid.
    void Create(QRadioButton* type, int nx, int ny, bool automatic = true) {
        type->click();
        U->Next1Btn->click();
        U->LineGridXTxt->setText(QString::number(nx));
        U->LineGridYZTxt->setText(QString::number(ny));
        (automatic ? U->AutomaticCreated : U->ManualCreated)->setChecked(true);
        U->Next2Btn->click();
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

    TElectGrid& G() { return *W->CurrentGrid; }

    std::unique_ptr<TMainFrm> W;
    Ui::TMainFrm* U = nullptr;
    TStringGrid* Grid = nullptr;
};

TEST_F(LayoutTest, TheTypeSetsTheGridTypeAndTheAxisLabels) {
    struct TCase {
        QRadioButton* button;
        int type;
        bool y, z;
    };
    const TCase cases[] = {{U->SurfaceRb, 1, true, false}, {U->BoreholeRb, 2, false, true}, {U->LineRb, 0, false, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.type);
        c.button->click();
        EXPECT_EQ(G().GridType, c.type);
        EXPECT_EQ(U->YZPanel->isHidden(), c.type == 0);
        for (QLabel* l : {U->YGridSizeLbl, U->YGridSpacingLbl, U->YGridOffsetLbl}) EXPECT_EQ(!l->isHidden(), c.y);
        for (QLabel* l : {U->ZGridSizeLbl, U->ZGridSpacingLbl, U->ZGridOffsetLbl}) EXPECT_EQ(!l->isHidden(), c.z);
    }
    // A surface or a borehole needs a spacing across: 0 becomes 1, any other stays.
    for (QRadioButton* b : {U->SurfaceRb, U->BoreholeRb}) {
        U->LineRb->click();
        G().DY = 0.0f;
        U->YZGridSpacingLblx->setText("0");
        b->click();
        EXPECT_EQ(G().DY, 1.0f);
        EXPECT_EQ(U->YZGridSpacingLblx->text(), "1");
        U->LineRb->click();
        G().DY = 2.5f;
        U->YZGridSpacingLblx->setText("2.5");
        b->click();
        EXPECT_EQ(G().DY, 2.5f);
        EXPECT_EQ(U->YZGridSpacingLblx->text(), "2.5");
    }
}

TEST_F(LayoutTest, TheTabStepsFromTypeToParametersToGridAndBack) {
    // Type choice.
    EXPECT_TRUE(U->TypeOfMeasurementGb->isEnabled());
    EXPECT_FALSE(U->LineGridXTxt->isEnabled());
    EXPECT_FALSE(U->Next2Btn->isEnabled());
    EXPECT_FALSE(U->ClearBtn->isEnabled());
    EXPECT_FALSE(Grid->isEnabled());

    U->BoreholeRb->click();
    U->Next1Btn->click();
    // Grid parameters: only the chosen type stays lit.
    EXPECT_TRUE(U->LineGridXTxt->isEnabled());
    EXPECT_TRUE(U->YZGridOffsetLblx->isEnabled());
    EXPECT_TRUE(U->Next2Btn->isEnabled());
    EXPECT_FALSE(OwnEnabled(U->TypeOfMeasurementGb));
    EXPECT_FALSE(OwnEnabled(U->Next1Btn));
    EXPECT_TRUE(OwnEnabled(U->BoreholeRb));
    EXPECT_FALSE(OwnEnabled(U->LineRb));
    EXPECT_FALSE(OwnEnabled(U->SurfaceRb));
    EXPECT_FALSE(U->BoreholeArrayTypeList->isHidden());
    EXPECT_TRUE(U->ArrayTypeList->isHidden());
    EXPECT_FALSE(Grid->isEnabled());

    U->LineGridXTxt->setText("4");
    U->LineGridYZTxt->setText("3");
    U->Next2Btn->click();
    // Grid editing.
    EXPECT_TRUE(Grid->isEnabled());
    EXPECT_TRUE(U->ClearBtn->isEnabled());
    EXPECT_EQ(Grid->ColCount(), 5);
    EXPECT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Grid->Cells(0, 0), "z\\x (m)");
    EXPECT_EQ(G().ElectrodeCount, 12);
    EXPECT_EQ(U->NbNodesLblx->text(), "12");

    U->Previous2Btn->click();
    EXPECT_TRUE(OwnEnabled(U->TypeOfMeasurementGb));
    for (QWidget* b : std::initializer_list<QWidget*>{U->Next1Btn, U->LineRb, U->SurfaceRb, U->BoreholeRb}) EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(U->LineGridXTxt->isEnabled());
    EXPECT_FALSE(U->YZPanel->isEnabled());
    EXPECT_FALSE(U->ClearBtn->isEnabled());
    EXPECT_EQ(Row(1), ". . . .");
    EXPECT_EQ(G().ElectrodeCount, 0);
    EXPECT_EQ(U->NbNodesLblx->text(), "0");
}

TEST_F(LayoutTest, HeadersShowEachNodePositionByMagnitude) {
    struct TCase {
        const char* offset;
        const char* header;
    };
    const TCase cases[] = {{"9.999", "10.00"}, {"10", "10.0"},     {"10.25", "10.25"}, {"99.999", "100.0"},
                           {"150", "150"},     {"150.26", "150.3"}, {"-2.5", "-2.50"},  {"0", "0.00"}};
    U->LineRb->click();
    U->Next1Btn->click();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.offset);
        U->XGridOffsetLblx->setText(c.offset);
        U->XGridOffsetLblx->setModified(true);
        U->LineGridXTxt->setText("1");
        U->Next2Btn->click();
        EXPECT_EQ(Grid->Cells(1, 0), c.header);
        EXPECT_EQ(Grid->Cells(0, 0), "y\\x (m)");
    }
    // Rows of a surface step by the spacing across, from its offset.
    Open();
    U->SurfaceRb->click();
    U->Next1Btn->click();
    U->XGridSpacingLblx->setText("0.333");
    U->YZGridSpacingLblx->setText("0.5");
    U->YZGridOffsetLblx->setText("1");
    U->LineGridXTxt->setText("4");
    U->LineGridYZTxt->setText("3");
    U->Next2Btn->click();
    EXPECT_EQ(Grid->Cells(0, 0), "y\\x (m)");
    QStringList columns, rows;
    for (int c = 1; c <= 4; ++c) columns << Grid->Cells(c, 0);
    for (int r = 1; r <= 3; ++r) rows << Grid->Cells(0, r);
    EXPECT_EQ(columns.join(' '), "0.00 0.33 0.67 1.00");
    EXPECT_EQ(rows.join(' '), "1.00 1.50 2.00");
}

TEST_F(LayoutTest, CreatingTheGridReadsTheParameters) {
    U->LineRb->click();
    U->Next1Btn->click();
    U->XGridSpacingLblx->setText("abc");
    U->XGridOffsetLblx->setText("12.345");
    U->YZGridSpacingLblx->setText("3");
    U->YZGridOffsetLblx->setText("7");
    U->LineGridXTxt->setText("abc");
    U->LineGridYZTxt->setText("5");
    for (QLineEdit* e : {U->XGridSpacingLblx, U->XGridOffsetLblx}) e->setModified(true);
    U->Next2Btn->click();
    // Not a number: 0 (spacing) and 1 (size); a line has nothing across.
    EXPECT_EQ(G().DX, 0.0f);
    EXPECT_EQ(U->XGridSpacingLblx->text(), "0");
    EXPECT_EQ(G().NX, 1);
    EXPECT_EQ(U->LineGridXTxt->text(), "1");
    EXPECT_EQ(G().DY, 0.0f);
    EXPECT_EQ(G().OffsetY, 0.0f);
    EXPECT_EQ(U->YZGridSpacingLblx->text(), "0");
    EXPECT_EQ(U->YZGridOffsetLblx->text(), "0");
    EXPECT_EQ(U->LineGridYZTxt->text(), "1");
    EXPECT_EQ(G().NY, 1);
    // Typed decimals are kept whole, not cut to the two that the edits show.
    EXPECT_EQ(G().OffsetX, 12.345f);
    EXPECT_EQ(U->XGridOffsetLblx->text(), "12.345");
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(LayoutTest, AutomaticGridNumbersEveryNodeInSnakeOrder) {
    Create(U->SurfaceRb, 3, 2);
    EXPECT_EQ(Row(1), "1 2 3");
    EXPECT_EQ(Row(2), "6 5 4");
    EXPECT_EQ(G().FirstElectrode, 1);
    EXPECT_EQ(G().LastElectrode, 6);
    EXPECT_EQ(G().ElectrodeCount, 6);
    EXPECT_EQ(G().Duplicates, 0);
    EXPECT_EQ(G().Nodes[4].IX, 3);
    EXPECT_EQ(G().Nodes[4].IY, 2);
    EXPECT_EQ(G().Nodes[6].IX, 1);
    EXPECT_EQ(U->FirstNodeLblx->text(), "1");
    EXPECT_EQ(U->LastNodeLblx->text(), "6");

    // More nodes than electrode numbers: the nodes past 1319 stay empty.
    Open();
    Create(U->SurfaceRb, 48, 40);
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
    Create(U->LineRb, 1, 1);
    EXPECT_EQ(Grid->Cells(1, 1), "");
    EXPECT_EQ(G().ElectrodeCount, 0);
    EXPECT_EQ(U->FirstNodeLblx->text(), "0");
}

TEST_F(LayoutTest, DraggingNumbersFromThePressedCorner) {
    Create(U->SurfaceRb, 6, 3, false);
    Grid->SetCells(1, 1, "48");
    W->RescanElectrodeGrid();
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
    Create(U->SurfaceRb, 4, 3, false);
    QWidget* vp = Grid->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Centre(1, 2));
    QTest::mouseMove(vp, Centre(3, 3));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Centre(3, 3));
    EXPECT_EQ(Row(2), "1 2 3 .");
    EXPECT_EQ(Row(3), "6 5 4 .");
    EXPECT_EQ(G().ElectrodeCount, 6);
    // A press outside the cells leaves no pressed cell.
    W->ElectrodeLocationGdMouseDown(Qt::LeftButton, Qt::NoModifier, 5000, 5000);
    EXPECT_EQ(W->MouseDownCol, -1);
    EXPECT_EQ(W->MouseDownRow, -1);
}

TEST_F(LayoutTest, ANumberUsedTwiceIsMarked) {
    Create(U->SurfaceRb, 4, 2, false);
    Grid->SetCells(1, 1, "7");
    Grid->SetCells(2, 1, "3");
    W->RescanElectrodeGrid();
    EXPECT_EQ(G().Nodes[7].IX, 1);
    EXPECT_TRUE(U->ErrorLblx->isHidden());
    Grid->SetCells(3, 2, "7");
    W->RescanElectrodeGrid();
    EXPECT_EQ(G().Duplicates, 1);
    EXPECT_FALSE(U->ErrorLblx->isHidden());
    EXPECT_TRUE(W->DuplicateMarked(1, 1));
    EXPECT_TRUE(W->DuplicateMarked(3, 2));
    EXPECT_FALSE(W->DuplicateMarked(2, 1));
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
    W->RescanElectrodeGrid();
    EXPECT_EQ(G().Duplicates, 0);
    EXPECT_TRUE(U->ErrorLblx->isHidden());
    EXPECT_FALSE(W->DuplicateMarked(3, 2));
    EXPECT_EQ(G().Nodes[7].IX, 3);
    EXPECT_EQ(G().Nodes[7].IY, 2);
}

TEST_F(LayoutTest, TheRescanDropsWhatIsNotAnElectrodeNumber) {
    Create(U->LineRb, 7, 1, false);
    const char* typed[] = {"0", "1320", "abc", "-3", "1319", "1", "99999"};
    for (int c = 1; c <= 7; ++c) Grid->SetCells(c, 1, typed[c - 1]);
    W->RescanElectrodeGrid();
    EXPECT_EQ(Row(1), ". . . . 1319 1 .");
    EXPECT_EQ(G().ElectrodeCount, 2);
    EXPECT_EQ(G().FirstElectrode, 1);
    EXPECT_EQ(G().LastElectrode, 1319);
    EXPECT_EQ(G().Nodes[1319].IX, 5);
    EXPECT_EQ(G().Nodes[1].IX, 6);
}

TEST_F(LayoutTest, ManualNumberingByDoubleClick) {
    Create(U->SurfaceRb, 4, 2, true);
    const QString before = Row(1);
    W->CurrentSequence->NeedsRecompute = 0;
    Select(2, 2, 2, 2);
    W->ElectrodeLocationGdDblClick();  // automatic grid: nothing happens
    EXPECT_EQ(Row(1), before);
    EXPECT_EQ(W->CurrentSequence->NeedsRecompute, 0);

    Open();
    Create(U->SurfaceRb, 4, 2, false);
    Grid->SetCells(1, 1, "5");
    W->RescanElectrodeGrid();
    W->CurrentSequence->NeedsRecompute = 0;
    Select(3, 2, 4, 2);
    W->ElectrodeLocationGdDblClick();
    EXPECT_EQ(Grid->Cells(3, 2), "6");
    EXPECT_EQ(G().LastElectrode, 6);
    EXPECT_EQ(W->CurrentSequence->NeedsRecompute, 1);
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
    W->RescanElectrodeGrid();
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
    U->ManualCreated->setChecked(true);
    Select(6, 1, 6, 1);
    Grid->SetCells(6, 1, "");
    W->RescanElectrodeGrid();
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
    Create(U->SurfaceRb, 3, 2);
    W->CurrentSequence->NeedsRecompute = 0;
    Select(2, 1, 3, 2);
    QTest::keyClick(Grid, Qt::Key_Delete);
    EXPECT_EQ(Row(1), "1 . .");
    EXPECT_EQ(Row(2), "6 . .");
    EXPECT_EQ(G().ElectrodeCount, 2);
    EXPECT_EQ(W->CurrentSequence->NeedsRecompute, 1);
    U->ClearBtn->click();
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
        {U->LineGridXTxt, "5000", "1320", true},      {U->LineGridXTxt, "1320", "1320", false},
        {U->LineGridXTxt, "0", "1", true},            {U->LineGridXTxt, "-4", "1", true},
        {U->LineGridXTxt, "abc", "1", true},          {U->LineGridYZTxt, "500", "192", true},
        {U->LineGridYZTxt, "192", "192", false},      {U->XGridSpacingLblx, "-1", "0", true},
        {U->XGridSpacingLblx, "0.333", "0.333", false}, {U->YZGridSpacingLblx, "abc", "0", true},
        {U->XGridOffsetLblx, "-12.5", "-12.5", false}, {U->YZGridOffsetLblx, "1e9", "99999.99", true},
        {U->XGridOffsetLblx, "inf", "0", true},
    };
    U->SurfaceRb->click();
    U->Next1Btn->click();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.typed);
        Seam.Beeps = 0;
        c.edit->setText(c.typed);
        W->LayoutEditExit(c.edit);
        EXPECT_EQ(c.edit->text(), c.shown);
        EXPECT_EQ(Seam.Beeps, c.beep ? 1 : 0);
    }
    // Leaving the edit runs the same check.
    Seam.Beeps = 0;
    U->LineGridXTxt->clear();
    QTest::keyClicks(U->LineGridXTxt, "2000");
    QTest::keyClick(U->LineGridXTxt, Qt::Key_Return);
    EXPECT_EQ(U->LineGridXTxt->text(), "1320");
    EXPECT_EQ(Seam.Beeps, 1);
}

TEST_F(LayoutTest, GridSizesStayWithinTheNodeMap) {
    U->SurfaceRb->click();
    U->Next1Btn->click();
    U->LineGridXTxt->setText("9999");
    U->LineGridYZTxt->setText("9999");
    U->ManualCreated->setChecked(true);
    W->Next2BtnClick();
    EXPECT_EQ(G().NX, kMaxGridColumns);
    EXPECT_EQ(G().NY, kMaxGridRows);
    EXPECT_EQ(Grid->ColCount(), kMaxGridColumns + 1);
    EXPECT_EQ(Grid->RowCount(), kMaxGridRows + 1);
    EXPECT_EQ(U->LineGridXTxt->text(), "1320");
    EXPECT_EQ(Seam.Beeps, 1);
    // The far corner holds a usable node.
    Grid->SetCells(kMaxGridColumns, kMaxGridRows, "1319");
    W->RescanElectrodeGrid();
    EXPECT_EQ(G().Nodes[1319].IX, kMaxGridColumns);
    EXPECT_EQ(G().Nodes[1319].IY, kMaxGridRows);
}

TEST_F(LayoutTest, TheArrowsStepTheSizeAndWrap) {
    U->SurfaceRb->click();
    U->Next1Btn->click();
    U->LineGridXTxt->setText("48");
    U->LineGridXUD->stepBy(1);
    EXPECT_EQ(U->LineGridXTxt->text(), "72");
    U->LineGridXTxt->setText("984");
    U->LineGridXUD->stepBy(1);
    EXPECT_EQ(U->LineGridXTxt->text(), "1");
    U->LineGridYZTxt->setText("192");
    U->LineGridYZUD->stepBy(1);
    EXPECT_EQ(U->LineGridYZTxt->text(), "1");
    U->LineGridYZUD->stepBy(-1);
    EXPECT_EQ(U->LineGridYZTxt->text(), "192");
}

TEST_F(LayoutTest, ASequenceShownKeepsItsFullSpacingWhenTheGridIsCreatedAgain) {
    auto s = MakeSequence(10, 0.333f);
    s->Grid.OffsetX = 12.345f;
    Open(std::move(s));
    EXPECT_EQ(U->XGridSpacingLblx->text(), "0.33");
    EXPECT_EQ(Grid->Cells(4, 0), "13.34");  // 12.345 + 3 x 0.333
    // "Create grid" with the edits as shown: the record's values stay whole.
    W->Next2BtnClick();
    EXPECT_EQ(G().DX, 0.333f);
    EXPECT_EQ(G().OffsetX, 12.345f);
    // A value the user types is taken as typed, even when it reads as the one shown.
    U->XGridSpacingLblx->setText("0.33");
    U->XGridSpacingLblx->setModified(true);
    W->Next2BtnClick();
    EXPECT_EQ(G().DX, 0.33f);
    EXPECT_EQ(G().OffsetX, 12.345f);
}

TEST_F(LayoutTest, EditingTheLayoutOfAComputedSequenceMarksItChanged) {
    Open(MakeSequence(10));
    TElectSequence& s = *W->CurrentSequence;
    ASSERT_EQ(s.NeedsRecompute, 0);
    // A click on one cell, or a grid created again as it was, changes nothing.
    QWidget* vp = Grid->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, Centre(3, 1));
    U->AutomaticCreated->setChecked(true);
    U->Next2Btn->click();
    EXPECT_EQ(s.NeedsRecompute, 0);
    EXPECT_TRUE(s.IsValid());
    // Another offset moves every electrode although the counts and the spacing stay.
    U->XGridOffsetLblx->setText("5");
    U->XGridOffsetLblx->setModified(true);
    U->Next2Btn->click();
    EXPECT_EQ(G().OffsetX, 5.0f);
    EXPECT_EQ(G().ElectrodeCount, 48);
    EXPECT_EQ(s.NeedsRecompute, 1);
    // Showing the sequence again leaves the mark.
    W->DisplaySequence(true);
    EXPECT_EQ(s.NeedsRecompute, 1);
}
