// The choice of port and line speed.
#include "Main.h"

#include "ui_Main.h"

void TMainFrm::ConnectPortHandlers() {
}
