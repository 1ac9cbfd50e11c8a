#pragma once
// The panel of the sequence list: it asks for the width the window gives it and may be
// squeezed down to 129 pixels, so a wide list never stops the window from shrinking.
#include <QWidget>

class TListPanel : public QWidget {
public:
    explicit TListPanel(QWidget* parent = nullptr) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        setMinimumWidth(129);
    }
    int PanelWidth() const { return Width; }
    void SetPanelWidth(int w) {
        Width = w;
        updateGeometry();
    }
    QSize sizeHint() const override { return QSize(Width, QWidget::sizeHint().height()); }

private:
    int Width = 209;
};
