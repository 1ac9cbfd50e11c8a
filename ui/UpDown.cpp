#include "ui/UpDown.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kArrowWidth = 18;
}  // namespace

TUpDown::TUpDown(QWidget* parent) : QSpinBox(parent) {
    setFixedWidth(kArrowWidth);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

void TUpDown::Associate(QLineEdit* edit) {
    Decimals = false;
    Show = [](double v) { return QString::number(std::lround(v)); };
    Bind(edit);
}

void TUpDown::Associate(QLineEdit* edit, std::function<QString(double)> show) {
    Decimals = true;
    Show = std::move(show);
    Bind(edit);
}

void TUpDown::Bind(QLineEdit* edit) {
    Buddy = edit;
    // The position follows what the edit shows, for the steps that find no number there.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString&) {
        const QSignalBlocker block(this);
        setValue(int(std::lround(std::clamp(Base(), double(minimum()), double(maximum())))));
    });
}

double TUpDown::Base() const {
    if (Buddy) {
        bool ok = false;
        const QString text = Buddy->text().trimmed();
        const double v = Decimals ? text.toDouble(&ok) : double(text.toInt(&ok));
        if (ok && std::isfinite(v)) return v;
    }
    return value();
}

void TUpDown::stepBy(int steps) {
    if (steps == 0) return;
    const double base = Base();
    const int direction = steps > 0 ? 1 : -1;
    // Past an end: the other end when the arrows wrap, else the end itself.
    auto target = [&] {
        const double v = base + double(steps) * Increment.value_or(singleStep());
        const double lo = minimum(), hi = maximum();
        if (wrapping() && v > hi) return lo;
        if (wrapping() && v < lo) return hi;
        return std::clamp(v, lo, hi);
    };
    bool allow = true;
    if (OnChanging) OnChanging(allow, int(std::lround(target())), direction);
    if (!allow) return;
    const double v = target();
    if (Buddy) {
        Buddy->setText(Show(v));
        // A step of the arrows is the user's edit, as typing is.
        Buddy->setModified(true);
    }
    setValue(int(std::lround(v)));
}
