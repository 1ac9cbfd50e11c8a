#pragma once
#include <QWidget>

#include <memory>

#include "chart/ChartScrollBars.h"

class QScrollBar;

namespace chart {

class ChartEngine;

// The maximised window's view of an engine's chart, at the view's own size: it takes the mouse,
// the wheel, the keys and its scroll bars as the control does, and its clicks on hot spots
// reach the control's events.
class ChartView : public QWidget {
public:
    explicit ChartView(ChartEngine* engine, QWidget* parent = nullptr);
    ~ChartView() override;
    ChartEngine* Engine() const { return engine_; }
    QScrollBar* HorzScrollBar() const;
    QScrollBar* VertScrollBar() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void Press(QMouseEvent* e, int dblClick);
    void Relayout();

    ChartEngine* engine_;
    std::unique_ptr<ChartScrollBars> bars_;
    bool hotSpotPending_ = false;  // a pressed hot spot, raised when no drag follows
};

}  // namespace chart
