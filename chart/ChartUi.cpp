#include "chart/ChartUi.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>

#include "chart/ChartEngine.h"

namespace chart {

namespace {
ChartUi* installed = nullptr;
}

ChartUi& TheChartUi() {
    static ChartUi qtDialogs;
    return installed ? *installed : qtDialogs;
}

void SetChartUi(ChartUi* ui) { installed = ui; }

void ChartUi::Message(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QObject::tr("Chart"), text);
}

bool ChartUi::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool ChartUi::ChooseExport(QWidget* parent, ExportRequest& request) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Export"));
    auto* form = new QFormLayout(&dialog);
    auto* type = new QComboBox(&dialog);
    type->addItems({QObject::tr("PDF"), QObject::tr("BMP"), QObject::tr("JPEG"), QObject::tr("PNG"), QObject::tr("Text")});
    type->setCurrentIndex(std::clamp(request.type, 0, 4));
    auto* dest = new QComboBox(&dialog);
    dest->addItems({QObject::tr("Clipboard"), QObject::tr("File"), QObject::tr("Printer")});
    dest->setCurrentIndex(std::clamp(request.destination, 0, 2));
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    for (QSpinBox* s : {width, height}) s->setRange(50, 10000);
    width->setValue(request.size.width() > 0 ? request.size.width() : 800);
    height->setValue(request.size.height() > 0 ? request.size.height() : 600);
    auto* file = new QLineEdit(request.file, &dialog);
    auto* browse = new QPushButton(QObject::tr("..."), &dialog);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file);
    fileRow->addWidget(browse);
    form->addRow(QObject::tr("Type"), type);
    form->addRow(QObject::tr("Destination"), dest);
    form->addRow(QObject::tr("Width (pixels)"), width);
    form->addRow(QObject::tr("Height (pixels)"), height);
    form->addRow(QObject::tr("File"), fileRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        static const char* kFilters[] = {"PDF (*.pdf)", "BMP (*.bmp)", "JPEG (*.jpg *.jpeg)", "PNG (*.png)", "Text (*.txt)"};
        const QString f = QFileDialog::getSaveFileName(&dialog, QObject::tr("Export"), file->text(),
                                                       QString::fromLatin1(kFilters[type->currentIndex()]));
        if (!f.isEmpty()) file->setText(f);
    });
    if (dialog.exec() != QDialog::Accepted) return false;
    request.type = type->currentIndex();
    request.destination = dest->currentIndex();
    request.size = QSize(width->value(), height->value());
    request.file = file->text();
    return true;
}

QString ChartUi::ChooseTextFile(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, QObject::tr("Export data"), proposed, QObject::tr("Text (*.txt)"));
}

bool ChartUi::ChooseColor(QWidget* parent, QColor& colour) {
    const QColor c = QColorDialog::getColor(colour, parent);
    if (!c.isValid()) return false;
    colour = c;
    return true;
}

bool ChartUi::ChooseFont(QWidget* parent, QFont& font) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, font, parent);
    if (ok) font = f;
    return ok;
}

void ChartUi::RunMaximized(QDialog& window) { window.exec(); }

ChartView::ChartView(ChartEngine* engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(50, 50);
    setAttribute(Qt::WA_OpaquePaintEvent);
    bars_ = std::make_unique<ChartScrollBars>(this, engine, [this] { setFocus(Qt::OtherFocusReason); });
    bars_->Mirror();
    QObject::connect(engine, &ChartEngine::invalidated, this, [this] { update(); });
    // New properties (a read-out that adds a line, say) show here as in the control.
    QObject::connect(engine, &ChartEngine::notified, this, [this](int code) {
        if (code != notify::ParamsChanged) return;
        if (bars_->Mirror()) Relayout();
        update();
    });
    QObject::connect(engine, &ChartEngine::scrolled, this, [this](Qt::Orientation o, int code, int pos) {
        if (code != SbEndScroll) bars_->Show(o, pos);
    });
}

ChartView::~ChartView() = default;

QScrollBar* ChartView::HorzScrollBar() const { return bars_->Bar(Qt::Horizontal); }
QScrollBar* ChartView::VertScrollBar() const { return bars_->Bar(Qt::Vertical); }

void ChartView::Relayout() {
    engine_->ResizeMaximized(bars_->Layout());
    update();
}

void ChartView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    engine_->DrawTo(p, bars_->ImageRect());
    bars_->PaintCorner(p);
}

void ChartView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        QWidget::keyPressEvent(e);
        return;
    }
    engine_->KeyDown(e->key(), e->modifiers());
}

void ChartView::wheelEvent(QWheelEvent* e) {
    setFocus(Qt::MouseFocusReason);
    engine_->Wheel(e->angleDelta().y());
    e->accept();
}

void ChartView::Press(QMouseEvent* e, int dblClick) {
    hotSpotPending_ = false;
    if (e->button() != Qt::LeftButton) return;
    engine_->MousePress(e->position().toPoint(), Qt::LeftButton);
    if (!ReachesHotSpots(e->modifiers(), e->buttons()) || !HasHotSpotEvent(engine_->GetHotSpot().type)) return;
    // As on the control: a double click reads out at once, a press once it proves no drag.
    if (dblClick)
        emit engine_->hotSpotClicked(1);
    else
        hotSpotPending_ = true;
}

void ChartView::mousePressEvent(QMouseEvent* e) { Press(e, 0); }

void ChartView::mouseDoubleClickEvent(QMouseEvent* e) { Press(e, 1); }

void ChartView::mouseMoveEvent(QMouseEvent* e) { engine_->MouseMove(e->position().toPoint(), e->buttons()); }

void ChartView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::RightButton) {
        engine_->MousePress(pos, Qt::RightButton);
        return;
    }
    const bool click = engine_->MouseRelease(pos, e->button());
    if (e->button() != Qt::LeftButton) return;
    if (click && hotSpotPending_) emit engine_->hotSpotClicked(0);
    hotSpotPending_ = false;
}

}  // namespace chart
