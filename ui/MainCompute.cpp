// The compute and roll-along commands as the window runs them for the Configuration tab: the
// refusals and results shown, the save's name and the new spread's file picked, the results
// window.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <optional>
#include <string>

#include "engine/Compute.h"
#include "ui/ConfigurationPanel.h"
#include "ui/Format.h"
#include "ui/ListPanel.h"
#include "ui/Main.h"
#include "ui/Viewcomputed.h"
#include "ui/Widgets.h"
#include "ui_Main.h"
#include "ui_Viewcomputed.h"

namespace {
void ShowFigures(const TListFigures& f, QLabel* count, QLabel* injections, QLabel* channels, QLineEdit* time) {
    count->setText(QString::number(f.Quadripoles));
    injections->setText(QString::number(f.Injections));
    channels->setText(QString::number(f.Channels));
    time->setText(FormatDuration(f.AcquisitionTime));
}
}  // namespace

TConfigurationWindow TMainFrm::ComputeCommands() {
    return {
        .MayCompute = [this] { return ShowFileResult(Computes.MayCompute()); },
        .MayShift = [this] { return ShowFileResult(Computes.MayShift()); },
        .ComputeAndSave =
            [this](int dx, int dy) { ShowSaveResult(Computes.ComputeAndSave(dx, dy, SaveNamePicker(".sqz", false))); },
        .RollAlongAndSave =
            [this](int dx, int dy) { ShowSaveResult(Computes.RollAlongAndSave(dx, dy, RollAlongNamePicker())); },
        .DisplaySequence = [this] { DisplaySequence(false); }};
}

TComputeCommands::TRollAlongPicker TMainFrm::RollAlongNamePicker() {
    // The new spread's file, proposed beside the one rolled from.
    return [this](const std::string& proposed) -> std::optional<std::string> {
        const QString oldName = Trimmed(CurrentSequence->FileName);
        SaveDialog1.FileName = QString::fromStdString(proposed);
        SaveDialog1.InitialDir = oldName.contains('/') ? QFileInfo(oldName).absolutePath() : WindowState.SequenceFolder;
        SaveDialog1.DefaultExt = ".sqz";
        SaveDialog1.FilterIndex = 1;
        if (!Seam().ExecuteFileDialog(SaveDialog1)) return std::nullopt;
        return ChosenFileName(SaveDialog1).toStdString();
    };
}

TComputeOptions TMainFrm::ReadComputeOptions() { return ui->ConfigurationTbs->ReadComputeOptions(); }

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
