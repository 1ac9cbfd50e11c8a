// Printing and comma-separated export of the electrode and quadripole sheets.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectSheetHandlers() {
}
