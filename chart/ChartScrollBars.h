#pragma once
// The two scroll bars of a view of the chart (the control, the maximised window): they show the
// engine's ranges and positions, and moving one turns the view through the engine.
#include <QRect>
#include <QSize>

#include <functional>

class QPainter;
class QScrollBar;
class QWidget;

namespace chart {

class ChartEngine;

class ChartScrollBars {
public:
    // Bars on host for engine; beforeScroll runs each time a bar is about to turn the view.
    ChartScrollBars(QWidget* host, ChartEngine* engine, std::function<void()> beforeScroll);

    QScrollBar* Bar(Qt::Orientation o) const { return o == Qt::Horizontal ? h_ : v_; }
    // The host less the bars it shows: where the chart's image goes.
    QRect ImageRect() const;
    // Places the bars along the host's edges; returns the size left for the image.
    QSize Layout();
    // The bars take the engine's ranges and positions; a bar shows while its range is not
    // empty. True when one appeared or went, so that the host lays itself out again.
    bool Mirror();
    // A position the engine reached, shown on the bar without turning anything.
    void Show(Qt::Orientation o, int pos);
    // Fills the corner between two bars.
    void PaintCorner(QPainter& p) const;

private:
    void Action(Qt::Orientation o, int action);

    QWidget* host_;
    ChartEngine* engine_;
    std::function<void()> beforeScroll_;
    QScrollBar* h_;
    QScrollBar* v_;
    bool mirroring_ = false;  // bar changes made here are not the user's
};

}  // namespace chart
