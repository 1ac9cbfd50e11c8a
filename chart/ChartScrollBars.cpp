#include "chart/ChartScrollBars.h"

#include <QPainter>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

#include "chart/ChartEngine.h"

namespace chart {

ChartScrollBars::ChartScrollBars(QWidget* host, ChartEngine* engine, std::function<void()> beforeScroll)
    : host_(host), engine_(engine), beforeScroll_(std::move(beforeScroll)) {
    h_ = new QScrollBar(Qt::Horizontal, host);
    v_ = new QScrollBar(Qt::Vertical, host);
    for (QScrollBar* b : {h_, v_}) {
        b->hide();
        b->setRange(0, 0);
        b->setSingleStep(1);
        b->setPageStep(15);
        b->setFocusPolicy(Qt::NoFocus);
    }
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* b = Bar(o);
        QObject::connect(b, &QScrollBar::actionTriggered, host, [this, o](int a) { Action(o, a); });
        QObject::connect(b, &QScrollBar::sliderReleased, host, [this, o] { engine_->Scroll(o, SbEndScroll, 0); });
    }
}

QRect ChartScrollBars::ImageRect() const {
    const int w = host_->width() - (v_->isVisible() ? v_->sizeHint().width() : 0);
    const int h = host_->height() - (h_->isVisible() ? h_->sizeHint().height() : 0);
    return QRect(0, 0, std::max(1, w), std::max(1, h));
}

QSize ChartScrollBars::Layout() {
    const int bw = v_->sizeHint().width(), bh = h_->sizeHint().height();
    const bool hv = h_->isVisibleTo(host_), vv = v_->isVisibleTo(host_);
    if (vv) v_->setGeometry(host_->width() - bw, 0, bw, host_->height() - (hv ? bh : 0));
    if (hv) h_->setGeometry(0, host_->height() - bh, host_->width() - (vv ? bw : 0), bh);
    return QSize(host_->width() - (vv ? bw : 0), host_->height() - (hv ? bh : 0));
}

bool ChartScrollBars::Mirror() {
    bool changed = false;
    mirroring_ = true;
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        QScrollBar* bar = Bar(o);
        const ScrollRange r = engine_->Range(o);
        const bool show = r.max != 0;
        if (show) {
            bar->setRange(r.min, r.max);
            bar->setValue(r.pos);
        } else {
            bar->setRange(0, 0);
            bar->setValue(0);
        }
        if (bar->isVisibleTo(host_) != show) {
            bar->setVisible(show);
            changed = true;
        }
    }
    mirroring_ = false;
    return changed;
}

void ChartScrollBars::Show(Qt::Orientation o, int pos) {
    mirroring_ = true;
    Bar(o)->setValue(pos);
    mirroring_ = false;
}

void ChartScrollBars::PaintCorner(QPainter& p) const {
    if (!h_->isVisible() || !v_->isVisible()) return;
    const QRect r = ImageRect();
    p.fillRect(QRect(r.right() + 1, r.bottom() + 1, host_->width() - r.width(), host_->height() - r.height()),
               host_->palette().window());
}

void ChartScrollBars::Action(Qt::Orientation o, int action) {
    if (mirroring_) return;
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SbLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = SbLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = SbPageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = SbPageUp; break;
    case QAbstractSlider::SliderToMinimum: code = SbTop; break;
    case QAbstractSlider::SliderToMaximum: code = SbBottom; break;
    case QAbstractSlider::SliderMove: code = SbThumbTrack; break;
    default: return;
    }
    if (beforeScroll_) beforeScroll_();
    QScrollBar* bar = Bar(o);
    engine_->Scroll(o, code, bar->sliderPosition());
    bar->setSliderPosition(engine_->Range(o).pos);
}

}  // namespace chart
