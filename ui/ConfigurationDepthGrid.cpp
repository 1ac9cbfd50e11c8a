// The Configuration tab's depth-level grid, its automatic creation commands, and the compute and
// roll-along commands with their shift prompt.
#include "ui/ConfigurationPanel.h"

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

#include "engine/SequenceList.h"
#include "seam/Seam.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/Help.h"
#include "ui/InfoPanel.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_ConfigurationPanel.h"

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
    TSpacingLevelDelegate(TConfigurationPanel* tab, TStringGrid* grid)
        : QStyledItemDelegate(grid), Tab(tab), Grid(grid) {}

    QPixmap SelectedCellImage = MakeSelectedCellImage();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const TGridModel* m = Grid->GridModel();
        Tab->SpacingLevelGdDrawCell(*painter, index.column() + m->FixedCols, index.row() + m->FixedRows, option.rect,
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
    TConfigurationPanel* Tab;
    TStringGrid* Grid;
};
}  // namespace

void TConfigurationPanel::ConnectDepthGrid(TControlEvents& e) {
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
    DepthMin = ui->InvestigationDepthUpDown->minimum();
    DepthMax = ui->InvestigationDepthUpDown->maximum();

    e.OnClick(ui->AutomaticCreationBtn, [this] { AutomaticCreationBtnClick(); });
    e.OnClick(ui->AutomaticCreationOkBtn, [this] { AutomaticCreationOkBtnClick(); });
    e.OnClick(ui->AutomaticCreationCancelBtn, [this] { AutomaticCreationCancelBtnClick(); });
    e.OnClick(ui->AutomaticCreationHelpBtn, [this] { AutomaticCreationHelpBtnClick(); });
    e.OnClick(ui->AutoGridDepthLevelBtn, [this] { AutoGridDepthLevelBtnClick(); });
    e.OnPanelEnter(ui->AutomaticCreationPanel, [this] { AutomaticCreationPanelEnter(); });
}

// ---------------------------------------------------------------- the grid

bool TConfigurationPanel::SpacingCellAllowed(int col, int row) const {
    if (!IsLevelCell(col, row)) return false;
    // Every cell of a borehole can be measured; on the surface only those the spread holds.
    if (Current()->Grid.GridType == gtBorehole) return true;
    const TSpacingLevel& level = Current()->SpacingLevels[row - 1];
    return !(level.DepthX[col - 2] == 0.0f && level.DepthY[col - 2] == 0.0f);
}

void TConfigurationPanel::CountSpacingLevelRow(int row) {
    if (row < 1 || row > kSpacingCoefficients) return;
    TStringGrid* g = ui->SpacingLevelGd;
    int count = 0;
    for (int c = kFirstLevelCol; c <= kLastLevelCol; ++c)
        if (g->Cells(c, row) == kSelectedMark) ++count;
    g->SetCells(kCountCol, row, count != 0 ? QString::number(count) : QString());
    Edit().SetSelectedCount(row, count);
}

QRect TConfigurationPanel::SpacingLevelSelection() const {
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

void TConfigurationPanel::UpdateSpacingLevelButtons() {
    ui->ComputeBtn->setEnabled(Current()->GetSpacingLevelCount() != 0);
    ui->MoveComputeBtn->setEnabled(ui->ArrayTypeList->currentIndex() != atMixed && OwnEnabled(ui->ComputeBtn));
}

void TConfigurationPanel::FillSpacingLevelGrid() {
    TStringGrid* g = ui->SpacingLevelGd;
    TStringTableModel* t = g->Strings();
    t->BeginUpdate();
    for (int r = 1; r <= kSpacingCoefficients; ++r) {
        const TSpacingLevel& level = Current()->SpacingLevels[r - 1];
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

void TConfigurationPanel::SpacingLevelGdDrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected) {
    (void)selected;
    if (ui->SpacingLevelGd->Cells(col, row) != kSelectedMark) return;
    if (const auto* d = dynamic_cast<const TSpacingLevelDelegate*>(ui->SpacingLevelGd->itemDelegate()))
        canvas.drawPixmap(rect.topLeft() + QPoint(1, 1), d->SelectedCellImage);
}

void TConfigurationPanel::SpacingLevelGdDblClick() {
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

void TConfigurationPanel::SpacingLevelGdClick() {
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

void TConfigurationPanel::SpacingLevelGdKeyDown(int& key, Qt::KeyboardModifiers shift) {
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

void TConfigurationPanel::SpacingLevelGdMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    (void)shift;
    TStringGrid* g = ui->SpacingLevelGd;
    const QModelIndex i = g->indexAt(QPoint(x, y));
    if (!i.isValid()) return;
    const int col = i.column() + g->GridModel()->FixedCols, row = i.row() + g->GridModel()->FixedRows;
    if (!IsLevelCell(col, row)) return;
    const TSpacingLevel& level = Current()->SpacingLevels[row - 1];
    auto depth = [](float d) { return d == 0.0f ? QStringLiteral("not available") : Format1(d) + " m"; };
    QString hint = "Maximun investigation depth :\r\n on X = " + depth(level.DepthX[col - 2]);
    if (Current()->Grid.GridType == gtSurface)
        hint += "\r\n on Y = " + depth(level.DepthY[col - 2]);
    else if (Current()->Grid.GridType == gtBorehole)
        hint += "\r\n on Z = " + depth(level.DepthY[col - 2]);
    g->setToolTip(hint);
}

void TConfigurationPanel::SpacingLevelGdExit() {
    Info->ShowLevelCount(Current()->GetSpacingLevelCount());
    UpdateSpacingLevelButtons();
}

// ---------------------------------------------------------------- automatic commands

void TConfigurationPanel::SetInvestigationDepthMax(int max) {
    DepthMax = max;
    // The arrows cannot hold an empty range; the limits above are the ones that count.
    ui->InvestigationDepthUpDown->setRange(DepthMin, std::max(max, DepthMin));
}

void TConfigurationPanel::AutomaticCreationBtnClick() {
    ui->AutomaticCreationPanel->setVisible(true);
    // The deepest multigradient cell of level 9 the spread holds, found on a copy: asking the
    // sequence itself would clear its depth tables and could lower its channel counts.
    auto probe = std::make_unique<TElectSequence>(*Current());
    probe->SetArrayType(atMultiGradient);
    const float depth = probe->ComputeSpacingLevelDepths(false, kAutoCreationLevel);
    ui->InvestigationDepthEdt->setText(Format1(depth));
    ui->AutomaticMaxLbl->setText(Format1(depth) + " m");
    const double top = std::ceil(double(depth));
    SetInvestigationDepthMax(top >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                            : int(top));
}

void TConfigurationPanel::InvestigationDepthEdtExit() {
    double v = 0;
    bool corrected = !ParseDecimal(ui->InvestigationDepthEdt->text(), v);
    if (v > DepthMax) {
        v = DepthMax;
        corrected = true;
    }
    if (v < DepthMin) {
        v = DepthMin;
        corrected = true;
    }
    if (corrected) {
        Seam().Beep();
        ui->InvestigationDepthEdt->setText(FormatGeneral(v));
    }
}

void TConfigurationPanel::InvestigationDepthUpDownChanging() { ui->InvestigationDepthEdt->setFocus(); }

void TConfigurationPanel::AutomaticCreationPanelEnter() {
    ui->AutomaticCreationOkBtn->setVisible(Current()->Grid.GridType != gtBorehole);
}

void TConfigurationPanel::FinishAutomaticCommand() {
    ui->AutomaticCreationPanel->setVisible(false);
    Window.DisplaySequence();
    Window.ComputeAndSave(0, 0);
    ui->CreateNewSeqBtn->setVisible(Current()->GetSpacingLevelCount() > 0);
}

void TConfigurationPanel::AutomaticCreationOkBtnClick() {
    double v = 0;
    // A depth that is no number (or none a float holds) stops at the edit, without a message.
    if (!ParseDecimal(ui->InvestigationDepthEdt->text(), v) || std::fabs(v) > std::numeric_limits<float>::max()) {
        ui->InvestigationDepthEdt->setFocus();
        return;
    }
    Current()->AutomaticCreation(float(v));
    FinishAutomaticCommand();
}

void TConfigurationPanel::AutoGridDepthLevelBtnClick() {
    Current()->AutoGridDepthLevel();
    FinishAutomaticCommand();
}

void TConfigurationPanel::AutomaticCreationCancelBtnClick() { ui->AutomaticCreationPanel->setVisible(false); }

void TConfigurationPanel::AutomaticCreationHelpBtnClick() { Seam().ShowHelp(THelpFrm::AutomaticCreation); }

// ---------------------------------------------------------------- compute and roll-along

namespace {
// What the shift prompt was opened for (its tag).
constexpr int kRecomputeInPlace = 0;
constexpr int kNewRollAlong = 1;
}  // namespace

void TConfigurationPanel::ConnectCompute(TControlEvents& e) {
    e.OnClick(ui->ComputeBtn, [this] { ComputeBtnClick(); });
    e.OnClick(ui->MoveComputeBtn, [this] { MoveComputeBtnClick(); });
    e.OnClick(ui->CreateNewSeqBtn, [this] { CreateNewSeqBtnClick(); });
    e.OnClick(ui->MovePanelOkBtn, [this] { MovePanelOkBtnClick(); });
    e.OnClick(ui->MovePanelCancelBtn, [this] { MovePanelCancelBtnClick(); });
    e.OnClick(ui->MovePanelHelpBtn, [this] { MovePanelHelpBtnClick(); });
    // The arrows step the edit's value; the next step starts from what was typed.
    ui->NodeToMoveXUpDown->Associate(ui->NodeToMoveXTxt);
    e.OnChanging(ui->NodeToMoveXUpDown, [this](bool& allow, int value, int direction) {
        NodeToMoveXUpDownChangingEx(allow, value, direction);
    });
    ui->NodeToMoveYUpDown->Associate(ui->NodeToMoveYTxt);
    e.OnChanging(ui->NodeToMoveYUpDown, [this](bool& allow, int value, int direction) {
        NodeToMoveYUpDownChangingEx(allow, value, direction);
    });
    e.OnPanelEnter(ui->MovePanel, [this] { MovePanelEnter(); });
}

void TConfigurationPanel::ComputeBtnClick() {
    if (!Window.MayCompute()) return;
    Window.ComputeAndSave(0, 0);
    ui->CreateNewSeqBtn->setVisible(Current()->GetSpacingLevelCount() > 0);
}

// ---------------------------------------------------------------- shift prompt

bool TConfigurationPanel::OpenShiftPrompt(int tag) {
    if (!Window.MayShift()) return false;
    MovePanelTag = tag;
    ui->MovePanel->setVisible(true);
    MovePanelEnter();
    ui->NodeToMoveXTxt->setFocus();
    return true;
}

void TConfigurationPanel::MoveComputeBtnClick() {
    if (!OpenShiftPrompt(kRecomputeInPlace)) return;
    ui->MovePanelCancelBtn->setVisible(true);
    ui->CreateNewSeqBtn->setVisible(true);
}

void TConfigurationPanel::CreateNewSeqBtnClick() { OpenShiftPrompt(kNewRollAlong); }

void TConfigurationPanel::MovePanelEnter() {
    ui->NodeMoveYPanel->setVisible(Current()->Grid.GridType == gtSurface);
    ui->NodeToMoveXUpDown->setMaximum(Current()->Grid.LastElectrode);
}

void TConfigurationPanel::NodeToMoveXUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    (void)allowChange;
    (void)newValue;
    (void)direction;
    ui->NodeToMoveXTxt->setFocus();
}

void TConfigurationPanel::NodeToMoveYUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    (void)allowChange;
    (void)newValue;
    (void)direction;
    ui->NodeToMoveYTxt->setFocus();
}

void TConfigurationPanel::MovePanelCancelBtnClick() { ui->MovePanel->setVisible(false); }

void TConfigurationPanel::MovePanelHelpBtnClick() { Seam().ShowHelp(THelpFrm::NodeShift); }

namespace {
// Reads a shift and keeps it within its arrows' range; false (after a beep, with the
// range's end shown and focused) when it was outside.
bool ReadShift(QLineEdit* edit, const TUpDown* upDown, int& shift) {
    // Not a number: -1, below the range.
    shift = IntOf(edit->text(), -1);
    const int clamped = std::clamp(shift, upDown->minimum(), upDown->maximum());
    if (clamped == shift) return true;
    Seam().Beep();
    edit->setText(QString::number(clamped));
    edit->setFocus();
    return false;
}
}  // namespace

void TConfigurationPanel::MovePanelOkBtnClick() {
    int dx = 0, dy = 0;
    if (!ReadShift(ui->NodeToMoveXTxt, ui->NodeToMoveXUpDown, dx)) return;
    // Only a surface grid has rows to move along: a value left in the hidden Y edit from an
    // earlier surface sequence would otherwise limit the cut of a line to nothing.
    if (Current()->Grid.GridType == gtSurface) {
        if (!ReadShift(ui->NodeToMoveYTxt, ui->NodeToMoveYUpDown, dy)) return;
    }
    ui->MovePanel->setVisible(false);

    if (MovePanelTag != kNewRollAlong)
        Window.ComputeAndSave(dx, dy);
    else
        Window.RollAlongAndSave(dx, dy);
}
