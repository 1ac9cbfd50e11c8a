// The 3-D view of the current and the ticked sequences.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::Connect3DHandlers() {
}
