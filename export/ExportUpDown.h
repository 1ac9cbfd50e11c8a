#pragma once
// The arrow pair bound to an edit: each step starts from the number in the edit, stays
// within the range and writes the result back into the edit. Changing() comes first, so a
// handler can still move the range.
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

class TExportUpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit TExportUpDown(QWidget* parent = nullptr) : QSpinBox(parent) {
        setFixedWidth(18);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }
    void SetAssociate(QLineEdit* edit) { Associate = edit; }
    QLineEdit* GetAssociate() const { return Associate; }

    void stepBy(int steps) override {
        emit Changing();
        int position = value();
        if (Associate) {
            bool ok = false;
            const int typed = Associate->text().trimmed().toInt(&ok);
            if (ok) position = typed;
        }
        const long long next = std::clamp<long long>(
            static_cast<long long>(position) + static_cast<long long>(steps) * singleStep(), minimum(), maximum());
        setValue(int(next));
        if (Associate) Associate->setText(QString::number(next));
    }

signals:
    void Changing();

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    QLineEdit* Associate = nullptr;
};
