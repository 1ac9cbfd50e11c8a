// The compute and roll-along commands.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <optional>
#include <string>

#include "engine/Compute.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/Help.h"
#include "ui/Main.h"
#include "ui/UpDown.h"
#include "ui/Viewcomputed.h"
#include "ui_Main.h"
#include "ui_Viewcomputed.h"

namespace {
// What the shift prompt was opened for (its tag).
constexpr int kRecomputeInPlace = 0;
constexpr int kNewRollAlong = 1;

void ShowFigures(const TListFigures& f, QLabel* count, QLabel* injections, QLabel* channels, QLineEdit* time) {
    count->setText(QString::number(f.Quadripoles));
    injections->setText(QString::number(f.Injections));
    channels->setText(QString::number(f.Channels));
    time->setText(FormatDuration(f.AcquisitionTime));
}
}  // namespace

void TMainFrm::ConnectComputeHandlers() {
    TControlEvents& e = *Events;
    e.OnClick(ui->ComputeBtn, [this] { ComputeBtnClick(); });
    e.OnClick(ui->MoveComputeBtn, [this] { MoveComputeBtnClick(); });
    e.OnClick(ui->CreateNewSeqBtn, [this] { CreateNewSeqBtnClick(); });
    e.OnClick(ui->MovePanelOkBtn, [this] { MovePanelOkBtnClick(); });
    e.OnClick(ui->MovePanelCancelBtn, [this] { MovePanelCancelBtnClick(); });
    e.OnClick(ui->MovePanelHelpBtn, [this] { MovePanelHelpBtnClick(); });
    // The arrows step the edit's value; the next step starts from what was typed.
    ui->NodeToMoveXUpDown->Associate(ui->NodeToMoveXTxt);
    e.OnChanging(ui->NodeToMoveXUpDown, [this](bool& allow, int value, int direction) {
        NodeToMoveXUpDownChangingEx(allow, value, direction);
    });
    ui->NodeToMoveYUpDown->Associate(ui->NodeToMoveYTxt);
    e.OnChanging(ui->NodeToMoveYUpDown, [this](bool& allow, int value, int direction) {
        NodeToMoveYUpDownChangingEx(allow, value, direction);
    });
    e.OnPanelEnter(ui->MovePanel, [this] { MovePanelEnter(); });
}

// ---------------------------------------------------------------- computation

TComputeOptions TMainFrm::ReadComputeOptions() {
    if (ui->SwapABMNCb->isChecked() &&
        Seam().Question("All quadripoles will be reversed A<->M , B<->N", "Warning", TMsgButtons::OkCancel,
                        TMsgIcon::Information) != TMsgResult::Ok)
        ui->SwapABMNCb->setChecked(false);
    TComputeOptions options;
    options.Reverse = ui->SwapABMNCb->isChecked();
    options.Optimise = ui->MultiChannelOptimizationCb->isChecked();
    options.DelPolar = ui->DelPolarEffectCb->isChecked();
    return options;
}

void TMainFrm::ShowComputeFigures(const TComputeFigures& figures) {
    TViewComputedFRm view(this);
    Ui::TViewComputedFRm& v = *view.ui;
    ShowFigures(figures.Original, v.OriginalQuadMaxLblx, v.OriginalInjectionLblx, v.NumberOfChannelLblx,
                v.EstimatedAcquisitionTimeTxt);
    if (figures.Full) v.MaxQuadriploleLbl->setVisible(true);
    if (figures.Optimised)
        ShowFigures(*figures.Optimised, v.OptimizedQuadMaxLblx, v.OptimizedStepCountLblx, v.OptimizedChanUsedLblx,
                    v.OptimizedEstimatedAcquisitionTimeTxt);
    else
        EnableControls(v.OptimizeGb, false);
    view.exec();
    DisplaySequence(true);
    // The save that follows commits an edit being typed in first, as the Save command does.
    ui->ListPanel->FocusList();
}

void TMainFrm::ComputeBtnClick() {
    if (!ShowFileResult(Computes.MayCompute())) return;
    ShowSaveResult(Computes.ComputeAndSave(0, 0, SaveNamePicker(".sqz", false)));
    ui->CreateNewSeqBtn->setVisible(CurrentSequence->GetSpacingLevelCount() > 0);
}

// ---------------------------------------------------------------- shift prompt

namespace {
// Opens the shift prompt for the command tag names, the focus on the X shift; false, with a
// message, when no depth level is selected.
bool OpenShiftPrompt(TMainFrm& w, int tag) {
    if (!w.ShowFileResult(w.Computes.MayShift())) return false;
    w.MovePanelTag = tag;
    w.ui->MovePanel->setVisible(true);
    w.MovePanelEnter();
    w.ui->NodeToMoveXTxt->setFocus();
    return true;
}
}  // namespace

void TMainFrm::MoveComputeBtnClick() {
    if (!OpenShiftPrompt(*this, kRecomputeInPlace)) return;
    ui->MovePanelCancelBtn->setVisible(true);
    ui->CreateNewSeqBtn->setVisible(true);
}

void TMainFrm::CreateNewSeqBtnClick() { OpenShiftPrompt(*this, kNewRollAlong); }

void TMainFrm::MovePanelEnter() {
    ui->NodeMoveYPanel->setVisible(CurrentSequence->Grid.GridType == gtSurface);
    ui->NodeToMoveXUpDown->setMaximum(CurrentSequence->Grid.LastElectrode);
}

void TMainFrm::NodeToMoveXUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    (void)allowChange;
    (void)newValue;
    (void)direction;
    ui->NodeToMoveXTxt->setFocus();
}

void TMainFrm::NodeToMoveYUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    (void)allowChange;
    (void)newValue;
    (void)direction;
    ui->NodeToMoveYTxt->setFocus();
}

void TMainFrm::MovePanelCancelBtnClick() { ui->MovePanel->setVisible(false); }

void TMainFrm::MovePanelHelpBtnClick() { ShowHelpFile(THelpFrm::NodeShift); }

namespace {
// Reads a shift and keeps it within its arrows' range; false (after a beep, with the
// range's end shown and focused) when it was outside.
bool ReadShift(QLineEdit* edit, const TUpDown* upDown, int& shift) {
    // Not a number: -1, below the range.
    shift = IntOf(edit->text(), -1);
    const int clamped = std::clamp(shift, upDown->minimum(), upDown->maximum());
    if (clamped == shift) return true;
    Seam().Beep();
    edit->setText(QString::number(clamped));
    edit->setFocus();
    return false;
}
}  // namespace

void TMainFrm::MovePanelOkBtnClick() {
    int dx = 0, dy = 0;
    if (!ReadShift(ui->NodeToMoveXTxt, ui->NodeToMoveXUpDown, dx)) return;
    // Only a surface grid has rows to move along: a value left in the hidden Y edit from an
    // earlier surface sequence would otherwise limit the cut of a line to nothing.
    if (CurrentSequence->Grid.GridType == gtSurface) {
        if (!ReadShift(ui->NodeToMoveYTxt, ui->NodeToMoveYUpDown, dy)) return;
    }
    ui->MovePanel->setVisible(false);

    if (MovePanelTag != kNewRollAlong) {
        ShowSaveResult(Computes.ComputeAndSave(dx, dy, SaveNamePicker(".sqz", false)));
        return;
    }
    // The new spread's file, proposed beside the one rolled from.
    ShowSaveResult(Computes.RollAlongAndSave(dx, dy, [this](const std::string& proposed) -> std::optional<std::string> {
        const QString oldName = Trimmed(CurrentSequence->FileName);
        SaveDialog1.FileName = QString::fromStdString(proposed);
        SaveDialog1.InitialDir = oldName.contains('/') ? QFileInfo(oldName).absolutePath() : WindowState.SequenceFolder;
        SaveDialog1.DefaultExt = ".sqz";
        SaveDialog1.FilterIndex = 1;
        if (!Seam().ExecuteFileDialog(SaveDialog1)) return std::nullopt;
        return ChosenFileName(SaveDialog1).toStdString();
    }));
}
