#pragma once
// The panel of the sequence list: it asks for the width the window gives it and may be
// squeezed down to 129 pixels, or to the width of its whole tool bar when that is wider, so a
// wide list never stops the window from shrinking and every tool stays on the bar.
#include <QToolBar>
#include <QWidget>
#include <algorithm>

class TListPanel : public QWidget {
public:
    explicit TListPanel(QWidget* parent = nullptr) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    int PanelWidth() const { return Width; }
    void SetPanelWidth(int w) {
        Width = w;
        updateGeometry();
    }
    QSize sizeHint() const override { return QSize(Width, QWidget::sizeHint().height()); }
    QSize minimumSizeHint() const override {
        int least = kLeastWidth;
        if (const auto* bar = findChild<QToolBar*>()) least = std::max(least, bar->sizeHint().width());
        const QSize s = QWidget::minimumSizeHint();
        return QSize(std::max(s.width(), least), s.height());
    }

    static constexpr int kLeastWidth = 129;

private:
    int Width = 209;
};
