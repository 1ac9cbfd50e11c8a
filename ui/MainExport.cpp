// The export of the current sequence for the second meter model.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectExportHandlers() {
    connect(ui->ExporttoSQTformatSolvy1, &QAction::triggered, this, [this] { ExporttoSQTformatSolvy1Click(); });
}
