// The depth-level grid and the automatic creation commands.
#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/Help.h"
#include "ui/Main.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_Main.h"

namespace {
// Grid cell (col, row) is level col - 1 of spacing coefficient row.
constexpr int kFirstLevelCol = 2;
constexpr int kLastLevelCol = kLevels + 1;
constexpr int kCountCol = 1;
constexpr int kDeleteKey = 46;
const QString kSelectedMark = QStringLiteral("#");

bool IsLevelCell(int col, int row) {
    return col >= kFirstLevelCol && col <= kLastLevelCol && row >= 1 && row <= kSpacingCoefficients;
}

// The mark drawn over a selected cell.
QPixmap MakeSelectedCellImage() {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x10, 0x3C, 0x78));
    p.setBrush(QColor(0x2F, 0x6F, 0xC8));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 3, 3);
    return image;
}

// Parses a decimal number as the depth prompt takes it; false for anything else, infinities
// and NaN included.
bool ParseDecimal(const QString& text, double& value) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// Draws the cells as the grid does, then the window's own decoration of each.
class TSpacingLevelDelegate : public QStyledItemDelegate {
public:
    TSpacingLevelDelegate(TMainFrm* frm, TStringGrid* grid)
        : QStyledItemDelegate(grid), Frm(frm), Grid(grid) {}

    QPixmap SelectedCellImage = MakeSelectedCellImage();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const TGridModel* m = Grid->GridModel();
        Frm->SpacingLevelGdDrawCell(*painter, index.column() + m->FixedCols, index.row() + m->FixedRows, option.rect,
                                    option.state.testFlag(QStyle::State_Selected));
    }

    // The grid's hint follows the pointer (see SpacingLevelGdMouseMove): show it, not a
    // per-cell tip of the model.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem&,
                   const QModelIndex&) override {
        if (event->type() != QEvent::ToolTip) return false;
        const QString hint = Grid->toolTip();
        if (hint.isEmpty()) {
            QToolTip::hideText();
        } else {
            QString shown = hint;
            shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            QToolTip::showText(event->globalPos(), shown, view);
        }
        return true;
    }

private:
    TMainFrm* Frm;
    TStringGrid* Grid;
};
}  // namespace

void TMainFrm::ConnectDepthGridHandlers() {
    TControlEvents& e = *Events;
    TStringGrid* grid = ui->SpacingLevelGd;
    grid->setItemDelegate(new TSpacingLevelDelegate(this, grid));
    grid->viewport()->setMouseTracking(true);
    // The view settles its selection on a release and a double click (a press on a cell already
    // selected only takes effect at the release): the handlers come after it.
    for (QEvent::Type type : {QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick})
        e.AfterEvent(grid->viewport(), type, [this](QEvent* event) {
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return;
            if (event->type() == QEvent::MouseButtonRelease)
                SpacingLevelGdClick();
            else
                SpacingLevelGdDblClick();
        });
    e.OnEvent(grid->viewport(), QEvent::MouseMove, [this](QEvent* event) {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint at = m->position().toPoint();
        SpacingLevelGdMouseMove(m->modifiers(), at.x(), at.y());
        return false;
    });
    e.OnEvent(grid, QEvent::KeyPress, [this](QEvent* event) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() != Qt::Key_Delete) return false;
        int key = kDeleteKey;
        SpacingLevelGdKeyDown(key, k->modifiers());
        return key == 0;
    });
    e.OnExit(grid, [this] { SpacingLevelGdExit(); });

    // The arrows step the depth in the edit; leaving the edit checks it.
    e.OnExit(ui->InvestigationDepthEdt, [this] { InvestigationDepthEdtExit(); });
    ui->InvestigationDepthUpDown->Associate(ui->InvestigationDepthEdt, FormatGeneral);
    e.OnChanging(ui->InvestigationDepthUpDown, [this](bool&, int, int) { InvestigationDepthUpDownChanging(); });
    InvestigationDepthMin = ui->InvestigationDepthUpDown->minimum();
    InvestigationDepthMax = ui->InvestigationDepthUpDown->maximum();

    e.OnClick(ui->AutomaticCreationBtn, [this] { AutomaticCreationBtnClick(); });
    e.OnClick(ui->AutomaticCreationOkBtn, [this] { AutomaticCreationOkBtnClick(); });
    e.OnClick(ui->AutomaticCreationCancelBtn, [this] { AutomaticCreationCancelBtnClick(); });
    e.OnClick(ui->AutomaticCreationHelpBtn, [this] { AutomaticCreationHelpBtnClick(); });
    e.OnClick(ui->AutoGridDepthLevelBtn, [this] { AutoGridDepthLevelBtnClick(); });
    e.OnPanelEnter(ui->AutomaticCreationPanel, [this] { AutomaticCreationPanelEnter(); });
}

// ---------------------------------------------------------------- the grid

bool TMainFrm::SpacingCellAllowed(int col, int row) const {
    if (!IsLevelCell(col, row)) return false;
    // Every cell of a borehole can be measured; on the surface only those the spread holds.
    if (CurrentSequence->Grid.GridType == gtBorehole) return true;
    const TSpacingLevel& level = CurrentSequence->SpacingLevels[row - 1];
    return !(level.DepthX[col - 2] == 0.0f && level.DepthY[col - 2] == 0.0f);
}

void TMainFrm::CountSpacingLevelRow(int row) {
    if (row < 1 || row > kSpacingCoefficients) return;
    TStringGrid* g = ui->SpacingLevelGd;
    int count = 0;
    for (int c = kFirstLevelCol; c <= kLastLevelCol; ++c)
        if (g->Cells(c, row) == kSelectedMark) ++count;
    g->SetCells(kCountCol, row, count != 0 ? QString::number(count) : QString());
    Edit().SetSelectedCount(row, count);
}

QRect TMainFrm::SpacingLevelSelection() const {
    const TStringGrid* g = ui->SpacingLevelGd;
    const TGridModel* m = g->GridModel();
    QRect cells;
    if (const QItemSelectionModel* sel = g->selectionModel()) {
        for (const QItemSelectionRange& r : sel->selection())
            cells |= QRect(QPoint(r.left() + m->FixedCols, r.top() + m->FixedRows),
                           QPoint(r.right() + m->FixedCols, r.bottom() + m->FixedRows));
        if (!cells.isValid() && sel->currentIndex().isValid()) {
            const QModelIndex i = sel->currentIndex();
            cells = QRect(i.column() + m->FixedCols, i.row() + m->FixedRows, 1, 1);
        }
    }
    return cells;
}

void TMainFrm::UpdateSpacingLevelButtons() {
    ui->ComputeBtn->setEnabled(CurrentSequence->GetSpacingLevelCount() != 0);
    ui->MoveComputeBtn->setEnabled(ui->ArrayTypeList->currentIndex() != atMixed &&
                                   OwnEnabled(ui->ComputeBtn));
}

void TMainFrm::FillSpacingLevelGrid() {
    TStringGrid* g = ui->SpacingLevelGd;
    TStringTableModel* t = g->Strings();
    t->BeginUpdate();
    for (int r = 1; r <= kSpacingCoefficients; ++r) {
        const TSpacingLevel& level = CurrentSequence->SpacingLevels[r - 1];
        for (int c = kFirstLevelCol; c <= kLastLevelCol; ++c) {
            // The grid shows exactly the flags the generators will read.
            const bool selected = level.Selected[c - 2] != 0 && SpacingCellAllowed(c, r);
            Edit().SetCellSelected(r, c - 1, selected);
            t->SetCell(c, r, selected ? kSelectedMark : QString());
        }
        CountSpacingLevelRow(r);
    }
    t->EndUpdate();
}

void TMainFrm::SpacingLevelGdDrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected) {
    (void)selected;
    if (ui->SpacingLevelGd->Cells(col, row) != kSelectedMark) return;
    if (const auto* d = dynamic_cast<const TSpacingLevelDelegate*>(ui->SpacingLevelGd->itemDelegate()))
        canvas.drawPixmap(rect.topLeft() + QPoint(1, 1), d->SelectedCellImage);
}

void TMainFrm::SpacingLevelGdDblClick() {
    const QRect sel = SpacingLevelSelection();
    const int col = sel.left(), row = sel.top();
    // The count column is no level: nothing to toggle there.
    if (!sel.isValid() || !IsLevelCell(col, row)) return;
    TStringGrid* g = ui->SpacingLevelGd;
    if (g->Cells(col, row) == kSelectedMark) {
        g->SetCells(col, row, QString());
        Edit().SetCellSelected(row, col - 1, false);
    } else if (SpacingCellAllowed(col, row)) {
        g->SetCells(col, row, kSelectedMark);
        Edit().SetCellSelected(row, col - 1, true);
    }
    CountSpacingLevelRow(row);
    UpdateSpacingLevelButtons();
    Edit().MarkListStale();
}

void TMainFrm::SpacingLevelGdClick() {
    const QRect sel = SpacingLevelSelection();
    if (!sel.isValid()) return;
    const int row = sel.top();
    if (row < 1 || row > kSpacingCoefficients) return;
    TStringGrid* g = ui->SpacingLevelGd;
    bool added = false;
    // A drag along one row selects its cells; a single cell or several rows select nothing.
    if (sel.top() == sel.bottom() && sel.right() > sel.left()) {
        // Cell by cell: a refresh of the whole grid would drop the user's selection.
        for (int c = std::max(sel.left(), kFirstLevelCol); c <= std::min(sel.right(), kLastLevelCol); ++c) {
            if (!SpacingCellAllowed(c, row)) continue;
            if (g->Cells(c, row) != kSelectedMark) added = true;
            g->SetCells(c, row, kSelectedMark);
            Edit().SetCellSelected(row, c - 1, true);
        }
    }
    CountSpacingLevelRow(row);
    UpdateSpacingLevelButtons();
    // New cells make the computed list stale, as a double click does.
    if (added) Edit().MarkListStale();
}

void TMainFrm::SpacingLevelGdKeyDown(int& key, Qt::KeyboardModifiers shift) {
    (void)shift;
    if (key != kDeleteKey) return;
    const QRect sel = SpacingLevelSelection();
    if (!sel.isValid()) return;
    TStringGrid* g = ui->SpacingLevelGd;
    // Cell by cell, so that the selection stays for the next command.
    for (int r = std::max(sel.top(), 1); r <= std::min(sel.bottom(), kSpacingCoefficients); ++r)
        for (int c = std::max(sel.left(), kFirstLevelCol); c <= std::min(sel.right(), kLastLevelCol); ++c) {
            g->SetCells(c, r, QString());
            Edit().SetCellSelected(r, c - 1, false);
        }
    for (int r = 1; r <= kSpacingCoefficients; ++r) CountSpacingLevelRow(r);
    Edit().MarkListStale();
}

void TMainFrm::SpacingLevelGdMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    (void)shift;
    TStringGrid* g = ui->SpacingLevelGd;
    const QModelIndex i = g->indexAt(QPoint(x, y));
    if (!i.isValid()) return;
    const int col = i.column() + g->GridModel()->FixedCols, row = i.row() + g->GridModel()->FixedRows;
    if (!IsLevelCell(col, row)) return;
    const TSpacingLevel& level = CurrentSequence->SpacingLevels[row - 1];
    auto depth = [](float d) { return d == 0.0f ? QStringLiteral("not available") : Format1(d) + " m"; };
    QString hint = "Maximun investigation depth :\r\n on X = " + depth(level.DepthX[col - 2]);
    if (CurrentSequence->Grid.GridType == gtSurface)
        hint += "\r\n on Y = " + depth(level.DepthY[col - 2]);
    else if (CurrentSequence->Grid.GridType == gtBorehole)
        hint += "\r\n on Z = " + depth(level.DepthY[col - 2]);
    g->setToolTip(hint);
}

void TMainFrm::SpacingLevelGdExit() {
    ui->ConfigPanelbottom->ShowLevelCount(CurrentSequence->GetSpacingLevelCount());
    UpdateSpacingLevelButtons();
}

// ---------------------------------------------------------------- automatic commands

void TMainFrm::SetInvestigationDepthMax(int max) {
    InvestigationDepthMax = max;
    // The arrows cannot hold an empty range; the limits above are the ones that count.
    ui->InvestigationDepthUpDown->setRange(InvestigationDepthMin, std::max(max, InvestigationDepthMin));
}

void TMainFrm::AutomaticCreationBtnClick() {
    ui->AutomaticCreationPanel->setVisible(true);
    // The deepest multigradient cell of level 9 the spread holds, found on a copy: asking the
    // sequence itself would clear its depth tables and could lower its channel counts.
    auto probe = std::make_unique<TElectSequence>(*CurrentSequence);
    probe->SetArrayType(atMultiGradient);
    const float depth = probe->ComputeSpacingLevelDepths(false, kAutoCreationLevel);
    ui->InvestigationDepthEdt->setText(Format1(depth));
    ui->AutomaticMaxLbl->setText(Format1(depth) + " m");
    const double top = std::ceil(double(depth));
    SetInvestigationDepthMax(top >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                            : int(top));
}

void TMainFrm::InvestigationDepthEdtExit() {
    double v = 0;
    bool corrected = !ParseDecimal(ui->InvestigationDepthEdt->text(), v);
    if (v > InvestigationDepthMax) {
        v = InvestigationDepthMax;
        corrected = true;
    }
    if (v < InvestigationDepthMin) {
        v = InvestigationDepthMin;
        corrected = true;
    }
    if (corrected) {
        Seam().Beep();
        ui->InvestigationDepthEdt->setText(FormatGeneral(v));
    }
}

void TMainFrm::InvestigationDepthUpDownChanging() { ui->InvestigationDepthEdt->setFocus(); }

void TMainFrm::AutomaticCreationPanelEnter() {
    ui->AutomaticCreationOkBtn->setVisible(CurrentSequence->Grid.GridType != gtBorehole);
}

void TMainFrm::FinishAutomaticCommand() {
    ui->AutomaticCreationPanel->setVisible(false);
    DisplaySequence(false);
    ShowSaveResult(Computes.ComputeAndSave(0, 0, SaveNamePicker(".sqz", false)));
    ui->CreateNewSeqBtn->setVisible(CurrentSequence->GetSpacingLevelCount() > 0);
}

void TMainFrm::AutomaticCreationOkBtnClick() {
    double v = 0;
    // A depth that is no number (or none a float holds) stops at the edit, without a message.
    if (!ParseDecimal(ui->InvestigationDepthEdt->text(), v) || std::fabs(v) > std::numeric_limits<float>::max()) {
        ui->InvestigationDepthEdt->setFocus();
        return;
    }
    CurrentSequence->AutomaticCreation(float(v));
    FinishAutomaticCommand();
}

void TMainFrm::AutoGridDepthLevelBtnClick() {
    CurrentSequence->AutoGridDepthLevel();
    FinishAutomaticCommand();
}

void TMainFrm::AutomaticCreationCancelBtnClick() { ui->AutomaticCreationPanel->setVisible(false); }

void TMainFrm::AutomaticCreationHelpBtnClick() { ShowHelpFile(THelpFrm::AutomaticCreation); }
