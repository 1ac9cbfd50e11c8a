// The figures of the sequence shown, below the tabs.
#include "ui/InfoPanel.h"

#include "engine/Electsequence.h"
#include "ui/Format.h"
#include "ui_InfoPanel.h"

TInfoPanel::TInfoPanel(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::TInfoPanel>()) { ui->setupUi(this); }

TInfoPanel::~TInfoPanel() = default;

void TInfoPanel::ShowSequenceInfo(const TElectSequence& s) {
    const int count = s.Device.LastQuadripole + 1;
    ui->QuadripolesTxt->setText(QString::number(count));
    ui->MaxQuadriploleLbl->setVisible(count >= kMaxQuadripoles);
    ui->InjectionTxt->setText(QString::number(s.MeasurementCycles));
    ui->MaxChannelUsedTxt->setText(QString::number(s.MaxChannelUsed));
    ui->MaxXReportTxt->setText(Format1(s.MaxDepthX));
    ui->MaxYReportTxt->setText(Format1(s.MaxDepthY));
    ui->EstimatedAcquisitionTimeTxt->setText(FormatDuration(s.GetTotalTime()));
}

void TInfoPanel::ShowLevelCount(int count) { ui->TotalLevelTxt->setText(QString::number(count)); }

QString TInfoPanel::FiguresCaption() const {
    return "Quadripole/Injection: " + ui->QuadripolesTxt->text() + "/" + ui->InjectionTxt->text() +
           ", Estimated time: " + ui->EstimatedAcquisitionTimeTxt->text();
}
