// The compute and roll-along commands.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectComputeHandlers() {
}
