// The upload command.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectUploadHandlers() {
    connect(ui->Upload1, &QAction::triggered, this, [this] { Upload1Click(); });
}
