// The export of the current sequence for the second meter model.
#include "ui/Main.h"

#include <QCoreApplication>

#include "export/Exportsqt.h"
#include "ui/ControlEvents.h"
#include "ui_Main.h"

void TMainFrm::ConnectExportHandlers() {
    Events->OnClick(ui->ExporttoSQTformatSolvy1, [this] { ExporttoSQTformatSolvy1Click(); });
}

void TMainFrm::ExporttoSQTformatSolvy1Click() {
    if (!CurrentSequence || !ValidChangeAnyWay()) return;
    // Edits still being typed are committed when they lose the focus.
    ui->ListPanel->FocusList();
    QCoreApplication::processEvents();
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    const unsigned timeIndex = s->Device.TimeIndex();
    {
        // The dialog points into the sequence: it must not outlive this command, since the
        // sequence may be closed afterwards.
        TExportSqtFrm dialog(this, s);
        dialog.SequenceFolder = WindowState.SequenceFolder;
        dialog.Solvy()->LoadFromSequence();
        dialog.exec();
    }
    // Loading the configuration may move the injection time to one the second model allows;
    // the window then shows the time the sequence now holds.
    if (s == CurrentSequence && s->Device.TimeIndex() != timeIndex) DisplaySequence(false);
}
