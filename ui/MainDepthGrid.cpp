// The depth-level grid and the automatic creation commands.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectDepthGridHandlers() {
}
