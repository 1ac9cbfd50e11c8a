#pragma once
// The arrow pair bound to an edit: a spin box that shows its arrows only, the edit beside
// it holding the text.
#include <QSpinBox>

class TUpDown : public QSpinBox {
public:
    explicit TUpDown(QWidget* parent = nullptr) : QSpinBox(parent) {
        setFixedWidth(18);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }
};
