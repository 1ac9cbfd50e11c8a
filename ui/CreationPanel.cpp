// The Creation tab: the electrode layout editing (grid type, sizes, spacings and the location grid)
// and its display.
#include "ui/CreationPanel.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/SequenceList.h"
#include "seam/Seam.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_CreationPanel.h"

namespace {
// Electrode numbers 1..kLastElectrodeNumber; the node map is kMaxGridColumns x kMaxGridRows.
constexpr int kLastElectrodeNumber = kMaxElectrodes - 1;
// Spacings and offsets beyond this many metres are refused: far past any survey, and the node
// positions (up to 1320 spacings away) still fit a float.
constexpr double kMaxMetres = 99999.99;
// Above this many cells to empty, a rescan rewrites the grid in one refresh.
constexpr int kBulkCells = 4096;

const char* const kNumberRange = "Electrode numbers run from 1 to %1: the number %2 is not kept.";
const char* const kNoNumberLeft = "Electrode numbers run from 1 to %1: no number is left after %1.";

// Integer text as the grid reads it; ok false when it is not a number.
int CellNumber(const QString& text, bool* ok) { return text.trimmed().toInt(ok, 10); }

// Header of a node: two decimals below 10 (and for negative values), one or two up to 100,
// at most one above.
QString NodeHeader(float v) {
    if (v < 10.0f) return Format2(v);
    if (v < 100.0f) {
        QString s = Format2(v);
        if (s.endsWith('0')) s.chop(1);
        return s;
    }
    QString s = QString::number(double(v), 'f', 1);
    if (s.endsWith(".0")) s.chop(2);
    return s;
}

// The cells of the location grid: digits only in the editor, and a warning mark on the cells
// whose number is used more than once.
class TLocationCellDelegate : public QStyledItemDelegate {
public:
    TLocationCellDelegate(const std::array<bool, kMaxElectrodes>& duplicates, QObject* parent)
        : QStyledItemDelegate(parent), Duplicates(duplicates) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* e = new QLineEdit(parent);
        e->setFrame(false);
        e->setMaxLength(4);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,4}"), e));
        (void)option;
        Editor = e;
        Edited = index;
        return e;
    }

    // A number outside 1..1319 is not stored; the window tells the user once the editor closes.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* e = qobject_cast<QLineEdit*>(editor);
        if (!e) return QStyledItemDelegate::setModelData(editor, model, index);
        const QString text = e->text().trimmed();
        bool ok = false;
        const int n = CellNumber(text, &ok);
        if (!text.isEmpty() && (!ok || n < 1 || n > kLastElectrodeNumber)) {
            Refused = text;
            model->setData(index, QString(), Qt::EditRole);
            return;
        }
        model->setData(index, text.isEmpty() ? QString() : QString::number(n), Qt::EditRole);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        bool ok = false;
        const int n = CellNumber(index.data().toString(), &ok);
        if (!ok || n < 1 || n > kLastElectrodeNumber || !Duplicates[std::size_t(n)]) return;
        const int side = std::max(6, std::min(10, option.rect.height() - 4));
        if (Mark.isNull()) Mark = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side, side);
        painter->drawPixmap(QRect(option.rect.right() - side - 1, option.rect.top() + 1, side, side), Mark);
    }

    // Commits and closes the open editor, if any.
    void EndEditing() {
        QWidget* e = OpenEditor();
        if (!e) return;
        emit commitData(e);
        emit closeEditor(e, QAbstractItemDelegate::NoHint);
    }

    // Closes the open editor, if any, and drops what it holds: the cells are about to show
    // another layout.
    void DiscardEditing() {
        QWidget* e = OpenEditor();
        if (!e) return;
        Refused.clear();
        // The view's own slot, not the signal: no handler takes the text.
        QMetaObject::invokeMethod(parent(), "closeEditor", Q_ARG(QWidget*, e),
                                  Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }

    mutable QPointer<QLineEdit> Editor;
    mutable QPersistentModelIndex Edited;
    mutable QString Refused;

private:
    QWidget* OpenEditor() const {
        auto* view = qobject_cast<QAbstractItemView*>(parent());
        if (!Editor || !view || !Edited.isValid() || view->indexWidget(Edited) != Editor) return nullptr;
        return Editor;
    }

    // The numbers the last rescan found in more than one cell.
    const std::array<bool, kMaxElectrodes>& Duplicates;
    mutable QPixmap Mark;
};

TLocationCellDelegate* DelegateOf(TStringGrid* g) { return static_cast<TLocationCellDelegate*>(g->itemDelegate()); }

// Runs fn on the grid's strings in one refresh; the selection and current cell survive it.
template <class F>
void BulkUpdate(TStringGrid* g, F&& fn) {
    TStringTableModel* t = g->Strings();
    QItemSelectionModel* sm = g->selectionModel();
    const QItemSelection kept = sm->selection();
    const QModelIndex current = g->currentIndex();
    const int currentCol = current.isValid() ? current.column() : -1, currentRow = current.row();
    QList<QRect> ranges;
    for (const QItemSelectionRange& range : kept)
        ranges << QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
    t->BeginUpdate();
    fn();
    t->EndUpdate();
    QItemSelection restored;
    for (const QRect& r : ranges) restored.select(t->index(r.top(), r.left()), t->index(r.bottom(), r.right()));
    if (currentCol >= 0) sm->setCurrentIndex(t->index(currentRow, currentCol), QItemSelectionModel::NoUpdate);
    sm->select(restored, QItemSelectionModel::ClearAndSelect);
}

// Sets every cell of the rectangle through fn(col, row), in one refresh when there are many.
template <class F>
void WriteCells(TStringGrid* g, const QRect& cells, F&& fn) {
    auto all = [&] {
        for (int r = cells.top(); r <= cells.bottom(); ++r)
            for (int c = cells.left(); c <= cells.right(); ++c) fn(c, r);
    };
    if (qint64(cells.width()) * cells.height() > kBulkCells)
        BulkUpdate(g, all);
    else
        all();
}

// Selects chosen alone among group without running their handlers.
void CheckOnly(QRadioButton* chosen, std::initializer_list<QRadioButton*> group) {
    for (QRadioButton* b : group) {
        b->setAutoExclusive(false);
        b->setChecked(b == chosen);
        b->setAutoExclusive(true);
    }
}
}  // namespace

TCreationPanel::TCreationPanel(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TCreationPanel>()) {
    ui->setupUi(this);
    ui->ElectrodeLocationGd->SetDefaultColWidth(36);
    ui->ElectrodeLocationGd->SetDefaultRowHeight(17);
    ui->ElectrodeLocationGd->SetColWidth(0, 48);
    ui->ElectrodeLocationGd->SetColCount(2);
    ui->ElectrodeLocationGd->SetRowCount(2);
    ui->ElectrodeLocationGd->setSelectionMode(QAbstractItemView::ContiguousSelection);
}

TCreationPanel::~TCreationPanel() = default;

TElectSequence* TCreationPanel::Current() const { return List ? List->CurrentSequence() : nullptr; }

void TCreationPanel::Connect(TControlEvents& e, const TSequenceList& list, TCreationWindow window) {
    List = &list;
    Window = std::move(window);
    TStringGrid* g = ui->ElectrodeLocationGd;
    g->setItemDelegate(new TLocationCellDelegate(DuplicateNumber, g));
    g->setMouseTracking(true);
    e.OnClick(ui->LineRb, [this] { LineClick(); });
    e.OnClick(ui->SurfaceRb, [this] { SurfaceRbClick(); });
    e.OnClick(ui->BoreholeRb, [this] { BoreholeRbClick(); });
    e.OnClick(ui->Next1Btn, [this] { Next1BtnClick(); });
    e.OnClick(ui->Next2Btn, [this] { Next2BtnClick(); });
    e.OnClick(ui->Previous2Btn, [this] { Previous2BtnClick(); });
    e.OnClick(ui->ClearBtn, [this] { ClearBtnClick(); });

    // The location grid's mouse, keys and focus.
    QWidget* cells = g->viewport();
    e.OnEvent(cells, QEvent::MouseButtonPress, [this](QEvent* event) {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint p = m->position().toPoint();
        ElectrodeLocationGdMouseDown(m->button(), m->modifiers(), p.x(), p.y());
        return false;
    });
    e.OnEvent(cells, QEvent::MouseButtonRelease, [this](QEvent* event) {
        // The view has set the selection by now: number it.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) ElectrodeLocationGdClick();
        return false;
    });
    e.OnEvent(cells, QEvent::MouseButtonDblClick, [this](QEvent*) {
        ElectrodeLocationGdDblClick();
        return true;
    });
    e.OnEvent(cells, QEvent::MouseMove, [this](QEvent*) {
        ElectrodeLocationGdMouseMove();
        return false;
    });
    e.OnEvent(g, QEvent::KeyPress, [this](QEvent* event) {
        auto* k = static_cast<QKeyEvent*>(event);
        int key = k->key();
        ElectrodeLocationGdKeyDown(key, k->modifiers());
        return key == 0;
    });
    e.OnEnter(g, [this] { ElectrodeLocationGdEnter(); });
    e.OnExit(g, [this] { ElectrodeLocationGdExit(); });

    // A number typed into a cell is taken when the editor closes.
    TLocationCellDelegate* d = DelegateOf(g);
    e.On(d, &QAbstractItemDelegate::closeEditor, [this, d] {
        const QString refused = std::exchange(d->Refused, QString());
        if (!refused.isEmpty()) Seam().Message(QString(kNumberRange).arg(kLastElectrodeNumber).arg(refused));
        RescanElectrodeGrid();
    });

    // Leaving an edit, or confirming it with Return, corrects its text; the arrows step the size
    // and put the focus on its edit.
    for (QLineEdit* edit : {ui->LineGridXTxt, ui->LineGridYZTxt, ui->XGridSpacingLblx, ui->YZGridSpacingLblx,
                            ui->XGridOffsetLblx, ui->YZGridOffsetLblx}) {
        e.OnExit(edit, [this, edit] { LayoutEditExit(edit); });
        e.On(edit, &QLineEdit::returnPressed, [this, edit] { LayoutEditExit(edit); });
    }
    const std::pair<QLineEdit*, TUpDown*> pairs[] = {{ui->LineGridXTxt, ui->LineGridXUD},
                                                     {ui->LineGridYZTxt, ui->LineGridYZUD}};
    for (const auto& [edit, arrows] : pairs) {
        arrows->Associate(edit);
        e.OnChanging(arrows, [edit](bool&, int, int) { edit->setFocus(); });
    }

    // The tab starts at the type choice.
    EnableControls(ui->ElectrodeLocationGb, false);
    EnableControls(ui->YZPanel, false);
    ui->YZPanel->setEnabled(false);
    EnableControls(ui->ElectrodeGridPanel, false);
    g->setEnabled(false);
}

// ---------------------------------------------------------------- type of measurement

void TCreationPanel::LineClick() {
    if (!Current()) return;
    Edit().SetGridType(gtLine);
    UpdateAxisLabels();
}

void TCreationPanel::ChooseTwoAxisType(TGridType type) {
    const bool noSpacing = Current()->Grid.DY == 0.0f;
    Edit().SetGridType(type);
    if (noSpacing) ui->YZGridSpacingLblx->setText(FormatHash2(Current()->Grid.DY));
    UpdateAxisLabels();
}

void TCreationPanel::SurfaceRbClick() {
    if (Current()) ChooseTwoAxisType(gtSurface);
}

void TCreationPanel::BoreholeRbClick() {
    if (Current()) ChooseTwoAxisType(gtBorehole);
}

void TCreationPanel::UpdateAxisLabels() {
    const bool borehole = ui->BoreholeRb->isChecked(), surface = ui->SurfaceRb->isChecked();
    for (QLabel* l : {ui->ZGridSizeLbl, ui->ZGridSpacingLbl, ui->ZGridOffsetLbl}) l->setVisible(borehole);
    for (QLabel* l : {ui->YGridSizeLbl, ui->YGridSpacingLbl, ui->YGridOffsetLbl}) l->setVisible(surface);
    ui->YZPanel->setVisible(!ui->LineRb->isChecked());
}

void TCreationPanel::Next1BtnClick() { ShowGridParametersStep(); }

void TCreationPanel::ShowGridParametersStep() {
    EnableControls(ui->ElectrodeLocationGb, true);
    EnableControls(ui->YZPanel, true);
    UpdateAxisLabels();
    ui->TypeOfMeasurementGb->setEnabled(false);
    ui->Next1Btn->setEnabled(false);
    for (QRadioButton* b : {ui->BoreholeRb, ui->SurfaceRb, ui->LineRb}) b->setEnabled(b->isChecked());
    Window.ShowArrayList(ui->BoreholeRb->isChecked());
}

void TCreationPanel::Previous2BtnClick() {
    EnableControls(ui->ElectrodeLocationGb, false);
    EnableControls(ui->YZPanel, false);
    EnableControls(ui->ElectrodeGridPanel, false);
    ui->YZPanel->setEnabled(false);
    ui->TypeOfMeasurementGb->setEnabled(true);
    ui->Next1Btn->setEnabled(true);
    for (QRadioButton* b : {ui->BoreholeRb, ui->SurfaceRb, ui->LineRb}) b->setEnabled(true);
    ClearBtnClick();
}

// ---------------------------------------------------------------- grid parameters

namespace {
enum class TRead { Ok, NotANumber, OutOfRange };

// A size text as an integer within 1..max; a text that is not a number gives 1.
int SizeOf(const QString& text, int max, TRead& read) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) {
        read = TRead::NotANumber;
        return 1;
    }
    const int bounded = std::clamp(v, 1, max);
    read = bounded == v ? TRead::Ok : TRead::OutOfRange;
    return bounded;
}

// A spacing (never negative) or an offset in metres; a text that is not a number gives 0.
double MetresOf(const QString& text, bool spacing, TRead& read) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        read = TRead::NotANumber;
        return 0.0;
    }
    const double bounded = std::clamp(v, spacing ? 0.0 : -kMaxMetres, kMaxMetres);
    read = bounded == v ? TRead::Ok : TRead::OutOfRange;
    return bounded;
}

bool IsSpacing(const Ui::TCreationPanel* ui, const QLineEdit* e) {
    return e == ui->XGridSpacingLblx || e == ui->YZGridSpacingLblx;
}
}  // namespace

void TCreationPanel::LayoutEditExit(QWidget* widget) {
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (!edit) return;
    TRead read = TRead::Ok;
    QString text;
    if (edit == ui->LineGridXTxt || edit == ui->LineGridYZTxt)
        text = QString::number(SizeOf(edit->text(), edit == ui->LineGridXTxt ? kMaxGridColumns : kMaxGridRows, read));
    else
        text = FormatHash2(MetresOf(edit->text(), IsSpacing(ui.get(), edit), read));
    if (read == TRead::Ok) return;
    // setText clears the modified flag: the corrected text still counts as the user's.
    edit->setText(text);
    edit->setModified(true);
    Seam().Beep();
}

void TCreationPanel::Next2BtnClick() {
    if (!Current()) return;
    bool beep = false;
    const TGridGeometry geometry = ReadGridGeometry(beep);
    Edit().SetGridGeometry(geometry);
    // A number being typed is taken (into the layout before this one) before the cells go.
    if (TLocationCellDelegate* d = DelegateOf(ui->ElectrodeLocationGd)) d->EndEditing();
    LayOutElectrodeGrid(geometry);
    if (beep) Seam().Beep();

    QCoreApplication::processEvents();
    if (ui->AutomaticCreated->isChecked()) SelectWholeGrid();
}

TGridGeometry TCreationPanel::ReadGridGeometry(bool& beep) {
    const TElectGrid& g = Current()->Grid;
    TGridGeometry geometry{.DX = g.DX, .OffsetX = g.OffsetX, .DY = g.DY, .OffsetY = g.OffsetY, .NX = g.NX, .NY = g.NY};
    // A line has no second axis.
    if (ui->LineRb->isChecked()) {
        ui->YZGridSpacingLblx->setText("0");
        ui->YZGridOffsetLblx->setText("0");
        ui->LineGridYZTxt->setText("1");
    }
    // Out-of-range numbers are clamped with a beep; texts that are not numbers give 0 (spacings,
    // offsets) or 1 (sizes). A text the window wrote from the record and the user left alone
    // keeps the record's value: the edits show two decimals, the record may hold more.
    auto read = [&](QLineEdit* e, float& field) {
        const bool spacing = IsSpacing(ui.get(), e);
        if (!e->isModified() && e->text() == FormatHash2(field) && std::isfinite(field) &&
            (!spacing || field >= 0.0f) && std::fabs(field) <= kMaxMetres)
            return;
        TRead r = TRead::Ok;
        const double v = MetresOf(e->text(), spacing, r);
        field = float(v);
        if (r != TRead::Ok) e->setText(FormatHash2(v));
        e->setModified(false);
        beep = beep || r == TRead::OutOfRange;
    };
    read(ui->XGridSpacingLblx, geometry.DX);
    read(ui->YZGridSpacingLblx, geometry.DY);
    read(ui->XGridOffsetLblx, geometry.OffsetX);
    read(ui->YZGridOffsetLblx, geometry.OffsetY);

    // Sizes are kept within the node map.
    auto size = [&](QLineEdit* e, int max) {
        TRead r = TRead::Ok;
        const int v = SizeOf(e->text(), max, r);
        if (r != TRead::Ok) e->setText(QString::number(v));
        beep = beep || r == TRead::OutOfRange;
        return v;
    };
    geometry.NY = size(ui->LineGridYZTxt, kMaxGridRows);
    geometry.NX = size(ui->LineGridXTxt, kMaxGridColumns);
    return geometry;
}

void TCreationPanel::LayOutElectrodeGrid(const TGridGeometry& g) {
    TStringGrid* loc = ui->ElectrodeLocationGd;
    loc->setEnabled(true);
    EnableControls(ui->ElectrodeGridPanel, true);
    if (TLocationCellDelegate* d = DelegateOf(loc)) d->DiscardEditing();
    TStringTableModel* t = loc->Strings();
    t->BeginUpdate();
    t->ClearFrom(0, 0);
    loc->SetRowCount(g.NY + 1);
    loc->SetColCount(g.NX + 1);
    const QString corner = QString(ui->BoreholeRb->isChecked() ? "z" : "y") + "\\x (m)";
    t->SetCell(0, 0, corner);
    for (int c = 1; c <= g.NX; ++c) t->SetCell(c, 0, NodeHeader(float(double(c - 1) * g.DX + g.OffsetX)));
    for (int r = 1; r <= g.NY; ++r) t->SetCell(0, r, NodeHeader(float(double(r - 1) * g.DY + g.OffsetY)));
    t->EndUpdate();
    loc->SetCells(0, 0, corner);
    loc->selectionModel()->setCurrentIndex(t->index(0, 0), QItemSelectionModel::ClearAndSelect);
    MouseDownCol = MouseDownRow = 1;
    RunningNumber = 0;
}

// ---------------------------------------------------------------- the location grid

QRect TCreationPanel::LocationSelection() const {
    const TStringGrid* g = ui->ElectrodeLocationGd;
    const QItemSelection sel = g->selectionModel() ? g->selectionModel()->selection() : QItemSelection();
    QRect r;
    for (const QItemSelectionRange& range : sel)
        r |= QRect(QPoint(range.left() + 1, range.top() + 1), QPoint(range.right() + 1, range.bottom() + 1));
    if (r.isEmpty()) {
        const QModelIndex current = g->currentIndex();
        if (current.isValid()) r = QRect(current.column() + 1, current.row() + 1, 1, 1);
    }
    // Never beyond the cells of the grid.
    return r & QRect(QPoint(1, 1), QPoint(g->ColCount() - 1, g->RowCount() - 1));
}

bool TCreationPanel::DuplicateMarked(int col, int row) const {
    bool ok = false;
    const int n = CellNumber(ui->ElectrodeLocationGd->Cells(col, row), &ok);
    return ok && n >= 1 && n <= kLastElectrodeNumber && DuplicateNumber[std::size_t(n)];
}

void TCreationPanel::SelectWholeGrid() {
    TStringGrid* g = ui->ElectrodeLocationGd;
    if (TLocationCellDelegate* d = DelegateOf(g)) d->EndEditing();
    TStringTableModel* t = g->Strings();
    if (g->ColCount() > 1 && g->RowCount() > 1)
        g->selectionModel()->select(QItemSelection(t->index(0, 0), t->index(g->RowCount() - 2, g->ColCount() - 2)),
                                    QItemSelectionModel::ClearAndSelect);
    ElectrodeLocationGdClick();
}

void TCreationPanel::ElectrodeLocationGdMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    (void)button;
    (void)shift;
    TStringGrid* g = ui->ElectrodeLocationGd;
    const QModelIndex i = g->indexAt(QPoint(x, y));
    if (!i.isValid()) {
        MouseDownCol = MouseDownRow = -1;
        return;
    }
    MouseDownCol = i.column() + 1;
    MouseDownRow = i.row() + 1;
    bool ok = false;
    const int n = CellNumber(g->Cells(MouseDownCol, MouseDownRow), &ok);
    RunningNumber = ok ? n - 1 : (Current() ? Current()->Grid.LastElectrode : 0);
}

void TCreationPanel::ElectrodeLocationGdClick() {
    const QRect sel = LocationSelection();
    if (sel.isEmpty() || (sel.width() == 1 && sel.height() == 1)) {
        RescanElectrodeGrid();
        return;
    }
    // Rows from the pressed edge, columns first from the pressed side, turning at each row end.
    const bool down = sel.top() == MouseDownRow;
    const bool rightward = sel.left() == MouseDownCol;
    const int width = sel.width();
    std::vector<int> numbers(std::size_t(width) * std::size_t(sel.height()));
    for (int i = 0; i < sel.height(); ++i) {
        const int row = down ? i : sel.height() - 1 - i;
        const bool right = (i % 2 == 0) == rightward;
        for (int j = 0; j < width; ++j) {
            const int col = right ? j : width - 1 - j;
            numbers[std::size_t(row) * std::size_t(width) + std::size_t(col)] = ++RunningNumber;
        }
    }
    WriteCells(ui->ElectrodeLocationGd, sel, [&](int c, int r) {
        const int n = numbers[std::size_t(r - sel.top()) * std::size_t(width) + std::size_t(c - sel.left())];
        ui->ElectrodeLocationGd->Strings()->SetCell(c, r, QString::number(n));
    });
    RescanElectrodeGrid();
}

void TCreationPanel::ElectrodeLocationGdDblClick() {
    if (ui->AutomaticCreated->isChecked() || !Current()) return;
    const TElectGrid& grid = Current()->Grid;
    TStringGrid* g = ui->ElectrodeLocationGd;
    const QRect sel = LocationSelection();
    if (sel.isEmpty()) return;
    if (grid.LastElectrode >= kLastElectrodeNumber)
        Seam().Message(QString(kNoNumberLeft).arg(kLastElectrodeNumber));
    else
        g->SetCells(sel.left(), sel.top(), QString::number(grid.LastElectrode + 1));
    g->Strings()->Editable = true;
    const QModelIndex cell = g->Strings()->index(sel.top() - 1, sel.left() - 1);
    g->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    g->edit(cell);
    RescanElectrodeGrid();
    if (Current()) Edit().MarkListStale();
}

void TCreationPanel::ElectrodeLocationGdMouseMove() { ui->ElectrodeLocationGd->Strings()->Editable = false; }

void TCreationPanel::ElectrodeLocationGdKeyDown(int& key, Qt::KeyboardModifiers shift) {
    (void)shift;
    if (key != Qt::Key_Delete) return;
    const QRect sel = LocationSelection();
    if (!sel.isEmpty())
        WriteCells(ui->ElectrodeLocationGd, sel,
                   [this](int c, int r) { ui->ElectrodeLocationGd->Strings()->SetCell(c, r, QString()); });
    RescanElectrodeGrid();
    if (Current()) Edit().MarkListStale();
}

void TCreationPanel::ClearBtnClick() {
    TStringGrid* g = ui->ElectrodeLocationGd;
    if (g->ColCount() > 1 && g->RowCount() > 1)
        WriteCells(g, QRect(QPoint(1, 1), QPoint(g->ColCount() - 1, g->RowCount() - 1)),
                   [g](int c, int r) { g->Strings()->SetCell(c, r, QString()); });
    RescanElectrodeGrid();
}

void TCreationPanel::ElectrodeLocationGdEnter() { RescanElectrodeGrid(); }

void TCreationPanel::ElectrodeLocationGdExit() { RescanElectrodeGrid(); }

void TCreationPanel::RescanElectrodeGrid() {
    if (!Current()) return;
    Edit().SetElectrodes(ScanElectrodeGrid());
}

TElectGrid TCreationPanel::ScanElectrodeGrid() {
    // A number used twice keeps the node of an earlier scan: the scan starts from the record.
    TElectGrid g = Current()->Grid;
    TStringGrid* loc = ui->ElectrodeLocationGd;
    const int cols = loc->ColCount(), rows = loc->RowCount();
    g.ElectrodeCount = 0;
    g.FirstElectrode = 10000;
    g.LastElectrode = 0;
    g.Duplicates = 0;
    for (TElectGridNode& n : g.Nodes) n.Used = 0;

    // First pass: count the numbers; anything that is not an electrode number is dropped.
    std::vector<QPoint> dropped;
    for (int r = 1; r < rows; ++r)
        for (int c = 1; c < cols; ++c) {
            const QString text = loc->Cells(c, r);
            if (text.isEmpty()) continue;
            bool ok = false;
            int n = CellNumber(text, &ok);
            if (!ok) n = kMaxElectrodes + 1;
            if (n < 1 || n >= kMaxElectrodes) {
                dropped.push_back(QPoint(c, r));
                continue;
            }
            TElectGridNode& node = g.Nodes[n];
            if (node.Used > 0) g.Duplicates = 1;
            ++node.Used;
            g.FirstElectrode = std::min(g.FirstElectrode, n);
            g.LastElectrode = std::max(g.LastElectrode, n);
            ++g.ElectrodeCount;
        }
    if (!dropped.empty()) {
        TStringTableModel* t = loc->Strings();
        auto drop = [&] {
            for (const QPoint& p : dropped) t->SetCell(p.x(), p.y(), QString());
        };
        if (int(dropped.size()) > kBulkCells)
            BulkUpdate(loc, drop);
        else
            drop();
    }

    ui->ErrorLblx->setVisible(g.Duplicates == 1);
    ui->LastNodeLblx->setText(QString::number(g.LastElectrode));
    ui->FirstNodeLblx->setText(QString::number(g.FirstElectrode < 10000 ? g.FirstElectrode : 0));
    ui->NbNodesLblx->setText(QString::number(g.ElectrodeCount));

    // Second pass: the node of each number used once; a number used twice keeps the node of an
    // earlier scan and its cells are marked.
    DuplicateNumber.fill(false);
    for (int r = 1; r < rows; ++r)
        for (int c = 1; c < cols; ++c) {
            const QString text = loc->Cells(c, r);
            if (text.isEmpty()) continue;
            bool ok = false;
            const int n = CellNumber(text, &ok);
            if (!ok || n < 1 || n >= kMaxElectrodes) continue;
            TElectGridNode& node = g.Nodes[n];
            if (node.Used < 2) {
                node.IX = c;
                node.IY = r;
            } else {
                DuplicateNumber[std::size_t(n)] = true;
            }
        }
    loc->viewport()->update();
    return g;
}

// ---------------------------------------------------------------- display

void TCreationPanel::ShowSequence(const TElectSequence& s) {
    const TElectGrid& g = s.Grid;
    const std::initializer_list<QRadioButton*> types = {ui->LineRb, ui->SurfaceRb, ui->BoreholeRb};
    CheckOnly(g.GridType == 0   ? ui->LineRb
              : g.GridType == 1 ? ui->SurfaceRb
              : g.GridType == 2 ? ui->BoreholeRb
                                : nullptr,
              types);
    UpdateAxisLabels();
    if (g.ElectrodeCount > 0) ShowGridParametersStep();

    ui->XGridSpacingLblx->setText(FormatHash2(g.DX));
    ui->YZGridSpacingLblx->setText(FormatHash2(g.DY));
    ui->XGridOffsetLblx->setText(FormatHash2(g.OffsetX));
    ui->YZGridOffsetLblx->setText(FormatHash2(g.OffsetY));
    ui->LineGridXTxt->setText(QString::number(g.NX));
    ui->LineGridYZTxt->setText(QString::number(g.NY));

    TStringGrid* loc = ui->ElectrodeLocationGd;
    if (g.ElectrodeCount <= 0) {
        ui->AutomaticCreated->setChecked(true);
        loc->SetColCount(2);
        loc->SetRowCount(2);
        for (int r = 0; r < 2; ++r) loc->SetCells(0, r, QString());
        for (int c = 0; c < 2; ++c) loc->SetCells(c, 0, QString());
    } else {
        ui->ManualCreated->setChecked(true);
        // The grid as the edits give it (a line has one row), never written back.
        bool beep = false;
        LayOutElectrodeGrid(ReadGridGeometry(beep));
        if (beep) Seam().Beep();
    }
    {
        TStringTableModel* t = loc->Strings();
        t->BeginUpdate();
        t->ClearFrom(1, 1);
        for (int e = 1; e < kMaxElectrodes; ++e) {
            const TElectGridNode& n = g.Nodes[e];
            if (n.Used == 1 && n.IX >= 0 && n.IY >= 0 && n.IX < loc->ColCount() && n.IY < loc->RowCount())
                t->SetCell(n.IX, n.IY, QString::number(e));
        }
        t->EndUpdate();
    }
    // The counts and marks of what the cells show.
    ScanElectrodeGrid();
    if (g.ElectrodeCount <= 0) loc->setEnabled(false);
}

bool TCreationPanel::GridLaidOut() const { return OwnEnabled(ui->ClearBtn); }

QString TCreationPanel::LayoutCaption() const {
    return ui->NbNodesLblx->text() + " Nodes  - X spacing: " + ui->XGridSpacingLblx->text() + "m";
}

void TCreationPanel::SetLocationBoxWidth(int width) { ui->ElectrodeLocationGb->setFixedWidth(width); }
