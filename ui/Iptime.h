#pragma once
// The IP timing dialog: the M delay and the widths of the 20 IP windows of a sequence,
// editable in the programmable IP mode only. The main window runs its whole cycle.
#include <QDialog>
#include <QString>

namespace Ui {
class TIPTimeFrm;
}

class TIPTimeFrm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWindows = 20;

    explicit TIPTimeFrm(QWidget* owner);
    ~TIPTimeFrm() override;

    Ui::TIPTimeFrm* ui;

    // Window i (0..19) is the cell of column i div 5 and row i mod 5 + 2 of TmStg.
    static int WindowCol(int i) { return i / 5; }
    static int WindowRow(int i) { return i % 5 + 2; }
    // Title of column c (0..3): "TM 1 / 5" to "TM 16 / 20".
    static QString ColumnTitle(int c);
    QString WindowText(int i) const;
    void SetWindowText(int i, const QString& text);

    // OK is the one way out: Escape and the window's close request do nothing.
    void reject() override {}
};
