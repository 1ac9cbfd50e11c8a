// Acquisition parameter editing.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectParamHandlers() {
}
