// Electrode layout editing: grid type, sizes, spacings and the electrode grid.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectLayoutHandlers() {
}
