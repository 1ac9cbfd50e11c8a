#pragma once
// The Qt side of the ports' blocking waits: delivers pending events (socket and serial data,
// the meter when it runs in this process, the user's Cancel) and, when none is pending, waits
// at most maxMs for the next one. Without a Qt application it just sleeps.
void PumpEvents(int maxMs);
