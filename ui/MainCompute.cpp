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
const char* const kNoDepthLevel = "No set of depth level !!!";
// What the shift prompt was opened for (its tag).
constexpr int kRecomputeInPlace = 0;
constexpr int kNewRollAlong = 1;

// Why a computation gave no quadripole, and what the user can do about it.
QString NoQuadripoleText(const TElectSequence& s, bool shifted) {
    QString why;
    if (s.GetSpacingLevelCount() < 1)
        why = "no depth level is selected for this array on this layout.";
    else if (shifted)
        why = "the spread before already measured every quadripole of the selected depth levels.";
    else
        why = "none of the selected depth levels gives a quadripole on this layout.";
    return "No quadripole was computed: " + why +
           "\nSelect depth levels by hand in the grid of the Configuration tab (a double click selects a cell), "
           "then compute again.";
}

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

bool TMainFrm::ComputeAndShow(int nx, int ny) {
    if (ui->SwapABMNCb->isChecked() &&
        Seam().Question("All quadripoles will be reversed A<->M , B<->N", "Warning", TMsgButtons::OkCancel,
                        TMsgIcon::Information) != TMsgResult::Ok)
        ui->SwapABMNCb->setChecked(false);

    std::optional<TWaitCursor> wait;
    wait.emplace();
    TViewComputedFRm view(this);
    Ui::TViewComputedFRm& v = *view.ui;

    TComputeOptions options;
    options.Reverse = ui->SwapABMNCb->isChecked();
    options.Optimise = ui->MultiChannelOptimizationCb->isChecked();
    options.DelPolar = ui->DelPolarEffectCb->isChecked();
    options.NodesX = nx - 1;
    options.NodesY = ny - 1;
    const TComputeFigures figures = RunComputation(*CurrentSequence, options);
    const bool computed = CurrentSequence->QuadripoleCount() > 0;
    if (!computed) {
        // Figures of an empty list would describe an acquisition that does not exist.
        wait.reset();
        Seam().Message(NoQuadripoleText(*CurrentSequence, nx > 1 || ny > 1), view.windowTitle(), TMsgIcon::Information,
                       this);
        DisplaySequence(true);
        return false;
    }

    ShowFigures(figures.Original, v.OriginalQuadMaxLblx, v.OriginalInjectionLblx, v.NumberOfChannelLblx,
                v.EstimatedAcquisitionTimeTxt);
    if (figures.Full) v.MaxQuadriploleLbl->setVisible(true);
    if (figures.Optimised)
        ShowFigures(*figures.Optimised, v.OptimizedQuadMaxLblx, v.OptimizedStepCountLblx, v.OptimizedChanUsedLblx,
                    v.OptimizedEstimatedAcquisitionTimeTxt);
    else
        EnableControls(v.OptimizeGb, false);

    wait.reset();
    view.exec();
    DisplaySequence(true);
    return true;
}

void TMainFrm::ComputeBtnClick() {
    TElectSequence& s = *CurrentSequence;
    if (s.GetSpacingLevelCount() < 1 && s.Device.LastQuadripole + 1 < 1) {
        Seam().Message(kNoDepthLevel);
        return;
    }
    if (ComputeAndShow(-1, -1)) SaveClick();
    ui->CreateNewSeqBtn->setVisible(CurrentSequence->GetSpacingLevelCount() > 0);
}

// ---------------------------------------------------------------- shift prompt

namespace {
// Opens the shift prompt for the command tag names, the focus on the X shift; false, with a
// message, when no depth level is selected.
bool OpenShiftPrompt(TMainFrm& w, int tag) {
    if (w.CurrentSequence->GetSpacingLevelCount() < 1) {
        Seam().Message(kNoDepthLevel);
        return false;
    }
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
    ui->NodeMoveYPanel->setVisible(ui->SurfaceRb->isChecked());
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
    if (ui->SurfaceRb->isChecked()) {
        if (!ReadShift(ui->NodeToMoveYTxt, ui->NodeToMoveYUpDown, dy)) return;
    }
    ui->MovePanel->setVisible(false);

    if (MovePanelTag != kNewRollAlong) {
        if (ComputeAndShow(dx + 1, dy + 1)) SaveClick();
        return;
    }

    const QString oldName = Trimmed(CurrentSequence->FileName);

    SaveDialog1.FileName = QString::fromStdString(RollAlongFileName(oldName.toStdString()));
    SaveDialog1.InitialDir = oldName.contains('/') ? QFileInfo(oldName).absolutePath() : SequenceFolder;
    SaveDialog1.DefaultExt = ".sqz";
    SaveDialog1.FilterIndex = 1;
    if (!Seam().ExecuteFileDialog(SaveDialog1)) return;
    const QString chosen = ChosenFileName(SaveDialog1);

    // The copy must be on disk and current before anything of it changes: after a failed save
    // the sequence still current is the one the user rolls from.
    if (!SaveAsNewSequence(chosen)) return;

    RollAlong(*CurrentSequence, oldName.toStdString(), dx, dy);
    DisplaySequence(true);
    CurrentSequence->SetFileName(chosen.toStdString());
    if (ComputeAndShow(dx + 1, dy + 1)) SaveClick();
}
