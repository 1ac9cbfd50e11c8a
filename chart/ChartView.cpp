#include "chart/ChartView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "chart/ChartEngine.h"

namespace chart {

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
