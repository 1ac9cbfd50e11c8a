#pragma once
// The figures of one computation, before and after the multi-channel optimisation; built
// anew for each computation and shown modally.
#include <QDialog>

namespace Ui {
class TViewComputedFRm;
}

class TViewComputedFRm : public QDialog {
    Q_OBJECT
public:
    explicit TViewComputedFRm(QWidget* owner = nullptr);
    ~TViewComputedFRm() override;

    Ui::TViewComputedFRm* ui;

protected:
    void showEvent(QShowEvent* event) override;
};
