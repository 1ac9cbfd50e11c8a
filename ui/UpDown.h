#pragma once
// The arrow pair bound to an edit: a spin box that shows its arrows only, the edit beside
// it holding the text. Each step is announced before it is made (OnChanging), moves by a
// signed increment (a negative one makes the up arrow lower the position) and, when an edit
// is bound, starts from the edit's value and writes its result back into the edit, which then
// counts as edited by the user (QLineEdit::isModified), as after typing.
#include <QSpinBox>
#include <functional>
#include <optional>

class QLineEdit;

class TUpDown : public QSpinBox {
public:
    explicit TUpDown(QWidget* parent = nullptr);

    // Runs before each step with the position the step leads to and its direction (1 up,
    // -1 down); clearing allow cancels the step. A range set here applies to the step.
    std::function<void(bool& allow, int newPosition, int direction)> OnChanging;

    // The step of one arrow press; the form's single step until one is set.
    void SetIncrement(int increment) { Increment = increment; }

    // Binds edit: whole numbers, written in decimal.
    void Associate(QLineEdit* edit);
    // Binds edit: decimal numbers, written by show.
    void Associate(QLineEdit* edit, std::function<QString(double)> show);

    // The value a step starts from: the bound edit's number, or the position when the edit
    // holds none.
    double Base() const;

    void stepBy(int steps) override;

protected:
    // Both arrows always answer, as the bound edit may hold any value.
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    void Bind(QLineEdit* edit);

    std::optional<int> Increment;
    QLineEdit* Buddy = nullptr;
    bool Decimals = false;
    std::function<QString(double)> Show;
};
