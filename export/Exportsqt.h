#pragma once
// The export dialog: edits the second model's configuration of one sequence and saves the
// .sqt file. Every change goes into the block at once and the controls are redrawn from it.
#include <QDialog>
#include <QString>

#include <memory>

#include "export/ReskonSolvy.h"

namespace Ui {
class TExportSqtFrm;
}
class QLineEdit;
class TExportUpDown;
class TSolvyConfigStore;

class TExportSqtFrm : public QDialog {
    Q_OBJECT
public:
    // The form alone, without a model (never shown).
    explicit TExportSqtFrm(QWidget* owner);
    // The form with a model of its own for sequence (not owned); store as for TReskonSolvy.
    TExportSqtFrm(QWidget* owner, TElectSequence* sequence, TSolvyConfigStore* store = nullptr);
    ~TExportSqtFrm() override;

    TReskonSolvy* Solvy() const { return Model.get(); }
    // Where the save dialog starts for a sequence that has no file name yet.
    QString SequenceFolder;

    void SolvyToForm();

public slots:
    void FormToSolvy();
    void StackMinEdnExit();
    void StackMaxEdnExit();
    void QrMaxEdtExit();
    void QmMaxEdtExit();
    void StackMinEdnUpDownChanging();
    void StackMaxEdnUpDownChanging();
    void QrMaxEdtUpDownChanging();
    void QmMaxEdtUpDownChanging();
    void TimeCbChange();
    void IpTimingCbChange();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TExportSqtFrm> ui;
    std::unique_ptr<TReskonSolvy> Model;
    bool Updating = false;

    void Build();
    void Connect();
    void UpdateBlock(TSolvyConfig& c);
    void ProgrammedTiming(TSolvyConfig& c);
    void ClampIntEdit(QLineEdit* edit, TExportUpDown* upDown);
    void ClampDecimalEdit(QLineEdit* edit, TExportUpDown* upDown);
};
